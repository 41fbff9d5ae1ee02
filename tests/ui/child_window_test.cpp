// What every window opened from the main menu shares: where it opens, how it hands control back
// to the main window, how it refuses to close while busy, and which button Esc presses.
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

#include "ui/child_window.h"

using ptk::ui::ChildWindow;

namespace {

// A child window with one field and one button, its protected parts opened for the test.
class SampleWindow : public ChildWindow {
public:
    explicit SampleWindow(Centring centring) : ChildWindow(nullptr, kFixedDialog, centring) {
        setFixedSize(200, 100);
        field = new QLineEdit(this);
        button = new QPushButton("OK", this);
        button->move(0, 40);
        setBusyControls({field, button});
    }

    using ChildWindow::isBusy;
    using ChildWindow::setBusy;
    using ChildWindow::setCancelButton;

    // The about and settings windows' hand-back instead of the default one.
    bool bringsBack = false;
    int closings = 0;

    QLineEdit* field;
    QPushButton* button;

protected:
    void FormClose() override {
        ++closings;
        if (bringsBack) {
            bringBackMainWindow();
        } else {
            ChildWindow::FormClose();
        }
    }
};

QPoint centredTopLeft(const QWidget& window) {
    QRect frame = window.frameGeometry();
    frame.moveCenter(window.screen()->availableGeometry().center());
    return frame.topLeft();
}

}  // namespace

class ChildWindowTest : public QObject {
    Q_OBJECT

private slots:
    void centring_data();
    void centring();
    void closingHandsBack_data();
    void closingHandsBack();
    void busyWindowRefusesToClose();
    void mainWindowGoneBeforeTheChild();
    void escPressesCancelButton_data();
    void escPressesCancelButton();
};

void ChildWindowTest::centring_data() {
    QTest::addColumn<ChildWindow::Centring>("centring");
    QTest::addColumn<bool>("centredAgain");
    QTest::newRow("every show") << ChildWindow::Centring::OnEveryShow << true;
    QTest::newRow("first show") << ChildWindow::Centring::OnFirstShow << false;
}

void ChildWindowTest::centring() {
    QFETCH(ChildWindow::Centring, centring);
    QFETCH(bool, centredAgain);
    SampleWindow window(centring);
    window.move(3, 7);
    window.show();
    QCOMPARE(window.frameGeometry().topLeft(), centredTopLeft(window));

    // The inspector moves it, closes it and opens it again.
    const QPoint moved(11, 13);
    window.move(moved);
    window.close();
    window.show();
    QCOMPARE(window.frameGeometry().topLeft(), centredAgain ? centredTopLeft(window) : moved);
}

void ChildWindowTest::closingHandsBack_data() {
    QTest::addColumn<bool>("bringsBack");
    QTest::newRow("enabled only") << false;
    QTest::newRow("brought back") << true;
}

void ChildWindowTest::closingHandsBack() {
    QFETCH(bool, bringsBack);
    QWidget mainWindow;
    mainWindow.setEnabled(false);
    SampleWindow window(ChildWindow::Centring::OnFirstShow);
    window.bringsBack = bringsBack;
    window.setMainWindow(&mainWindow);
    window.show();
    QVERIFY(window.close());
    QVERIFY(mainWindow.isEnabled());
    QCOMPARE(window.closings, 1);
    // Only brought back is a hidden main window shown again.
    QCOMPARE(mainWindow.isVisible(), bringsBack);
}

void ChildWindowTest::busyWindowRefusesToClose() {
    QWidget mainWindow;
    mainWindow.setEnabled(false);
    SampleWindow window(ChildWindow::Centring::OnFirstShow);
    window.setMainWindow(&mainWindow);
    window.show();

    window.setBusy(true);
    QVERIFY(window.isBusy());
    QVERIFY(!window.isEnabled() && !window.field->isEnabled() && !window.button->isEnabled());
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    QVERIFY(!mainWindow.isEnabled());
    QCOMPARE(window.closings, 0);

    window.setBusy(false);
    QVERIFY(window.isEnabled() && window.field->isEnabled() && window.button->isEnabled());
    QVERIFY(window.close());
    QVERIFY(mainWindow.isEnabled());
}

void ChildWindowTest::mainWindowGoneBeforeTheChild() {
    SampleWindow window(ChildWindow::Centring::OnFirstShow);
    for (const bool bringsBack : {false, true}) {
        window.bringsBack = bringsBack;
        {
            QWidget mainWindow;
            window.setMainWindow(&mainWindow);
        }
        window.show();
        QVERIFY(window.close());
    }
    QCOMPARE(window.closings, 2);
}

void ChildWindowTest::escPressesCancelButton_data() {
    QTest::addColumn<bool>("withCancelButton");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("clicks");
    QTest::newRow("plain Esc") << true << Qt::KeyboardModifiers(Qt::NoModifier) << 1;
    QTest::newRow("Shift+Esc") << true << Qt::KeyboardModifiers(Qt::ShiftModifier) << 0;
    QTest::newRow("no cancel button") << false << Qt::KeyboardModifiers(Qt::NoModifier) << 0;
}

void ChildWindowTest::escPressesCancelButton() {
    QFETCH(bool, withCancelButton);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, clicks);
    SampleWindow window(ChildWindow::Centring::OnFirstShow);
    if (withCancelButton) window.setCancelButton(window.button);
    QSignalSpy clicked(window.button, &QPushButton::clicked);
    window.show();
    // From the field too: it leaves Esc to the window.
    QTest::keyClick(window.field, Qt::Key_Escape, modifiers);
    QCOMPARE(clicked.count(), clicks);
    QVERIFY(window.isVisible());
}

QTEST_MAIN(ChildWindowTest)
#include "child_window_test.moc"
