#include "app/folder_search_animation.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace ptk::ui {
namespace {

constexpr int kFrameMs = 60;
constexpr double kPi = 3.14159265358979323846;

void drawFolder(QPainter& painter, const QRectF& area) {
    QPainterPath folder;
    const double tab = area.width() * 0.35;
    folder.moveTo(area.left(), area.top() + 6);
    folder.lineTo(area.left() + 4, area.top());
    folder.lineTo(area.left() + tab, area.top());
    folder.lineTo(area.left() + tab + 4, area.top() + 6);
    folder.lineTo(area.right(), area.top() + 6);
    folder.lineTo(area.right(), area.bottom());
    folder.lineTo(area.left(), area.bottom());
    folder.closeSubpath();
    painter.setPen(QPen(QColor(0x80, 0x60, 0x00), 1));
    painter.setBrush(QColor(0xF0, 0xD0, 0x50));
    painter.drawPath(folder);
}

void drawMagnifier(QPainter& painter, QPointF centre, double radius) {
    painter.setBrush(QColor(0xC0, 0xE0, 0xFF, 0xA0));
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
    painter.drawEllipse(centre, radius, radius);
    const QPointF handleStart = centre + QPointF(radius * 0.7, radius * 0.7);
    painter.setPen(QPen(QColor(0x50, 0x30, 0x10), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(handleStart, handleStart + QPointF(radius * 0.8, radius * 0.8));
}

}  // namespace

FolderSearchAnimation::FolderSearchAnimation(QWidget* parent) : QWidget(parent) {
    setFixedSize(80, 60);
    timer_.setInterval(kFrameMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % (kStopFrame + 1);
        update();
    });
}

void FolderSearchAnimation::setActive(bool active) {
    if (active) {
        frame_ = 0;
        timer_.start();
    } else {
        timer_.stop();
        frame_ = kStopFrame;
    }
    update();
}

void FolderSearchAnimation::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF folderArea(8, 18, 52, 36);
    drawFolder(painter, folderArea);
    // One sweep of the glass around the folder for every run through the frames.
    const double angle = 2 * kPi * frame_ / (kStopFrame + 1);
    const QPointF centre(folderArea.center().x() + 14 * std::cos(angle),
                         folderArea.center().y() - 6 + 10 * std::sin(angle));
    drawMagnifier(painter, centre, 9);
}

}  // namespace ptk::ui
