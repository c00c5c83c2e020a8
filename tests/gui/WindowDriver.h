// Drives the windows as a user does, and the main window's two rigs: on a scripted fake line,
// and on the real port against the simulated instrument.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "FakeLine.h"
#include "MainDialog.h"
#include "RecordingOperator.h"
#include "SimulatorFixture.h"
#include "TemperatureFrames.h"
#include "TemporaryDirectory.h"

namespace tavolex::testing {

using Messages = std::vector<std::string>;

template <class Window>
class WindowDriver {
public:
    template <typename Control>
    Control* control(int id) {
        Control* found = driven().template control<Control>(id);
        EXPECT_NE(found, nullptr) << "no control " << id;
        return found;
    }
    QLineEdit* edit(int id) { return control<QLineEdit>(id); }
    bool enabled(int id) { return control<QWidget>(id)->isEnabled(); }
    void click(int id) { QTest::mouseClick(control<QWidget>(id), Qt::LeftButton); }  // or a label
    // Replaces a field's text by typing.
    void type(int id, const QString& text) {
        QLineEdit* field = edit(id);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }

protected:
    virtual ~WindowDriver() = default;
    virtual Window& driven() = 0;
};

// A driver of a window held elsewhere.
template <class Window>
struct DriverOf final : WindowDriver<Window> {
    explicit DriverOf(Window& held) : window(held) {}
    Window& driven() override { return window; }
    Window& window;
};

// Runs `act` on the Modal that `open` brings up and closes it if still open; false if none came.
template <class Modal = QWidget, typename Open, typename Act>
bool WithModal(Open open, Act act) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* modal = qobject_cast<Modal*>(QApplication::activeModalWidget());
        if (!(seen = modal != nullptr)) return;
        act(*modal);
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog != nullptr && dialog == static_cast<QWidget*>(modal)) dialog->reject();
    });
    open();
    return seen;
}

// The main window on a scripted fake line, in a fresh working directory.
struct FakeLineRig {
    TemporaryWorkingDirectory directory;  // first, so that the window starts in it
    ManualClock clock;
    FakeLine line{clock};
    FakePortOpener ports{line};
    RecordingOperator person;
    MainDialog window{ports, clock, person};
};

class MainDialogFixture : public ::testing::Test,
                          protected FakeLineRig,
                          public WindowDriver<MainDialog> {
protected:
    MainDialog& driven() override { return window; }
    void showActive() {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    // The payload of the last frame written.
    Bytes payloadSent() const {
        const Bytes& frame = line.written.back();
        return Bytes(frame.begin() + kFrameHeaderSize, frame.end() - 2);
    }
};

// The main window on the real port, against the simulator as com1 once the test starts it.
class MainDialogSimulatorTest : public SimulatorTest, public WindowDriver<MainDialog> {
protected:
    MainDialog& driven() override { return window; }
    TemporaryWorkingDirectory directory;  // first, so that the window starts in it
    RecordingOperator person;
    MainDialog window{opener, SystemClock(), person};
};

}  // namespace tavolex::testing
