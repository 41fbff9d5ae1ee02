#pragma once

#include <QTimer>
#include <QWidget>

namespace ptk::ui {

// The little picture that shows the program is busy finding the register: a magnifying glass
// searching over a folder. It runs through its frames while active and rests on its last frame.
class FolderSearchAnimation final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kStopFrame = 29;

    explicit FolderSearchAnimation(QWidget* parent = nullptr);

    void setActive(bool active);
    bool isActive() const { return timer_.isActive(); }
    int frame() const { return frame_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer timer_;
    int frame_ = kStopFrame;
};

}  // namespace ptk::ui
