// The main window on a scripted fake line, in a fresh working directory, with the helpers that
// drive it as a user does.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include "FakeLine.h"
#include "MainDialog.h"
#include "RecordingOperator.h"
#include "TemperatureFrames.h"
#include "TemporaryDirectory.h"

namespace tavolex::testing {

class MainDialogFixture : public ::testing::Test {
protected:
    template <typename Control>
    Control* control(int id) {
        Control* found = window.control<Control>(id);
        EXPECT_NE(found, nullptr) << "no control " << id;
        return found;
    }
    QLineEdit* edit(int id) { return control<QLineEdit>(id); }
    bool enabled(int id) { return control<QWidget>(id)->isEnabled(); }
    void click(int id) { QTest::mouseClick(control<QAbstractButton>(id), Qt::LeftButton); }
    // Replaces a field's text by typing, as a user does.
    void type(int id, const QString& text) {
        QLineEdit* field = edit(id);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }

    // First, so that the window starts in it.
    TemporaryWorkingDirectory directory;
    ManualClock clock;
    FakeLine line{clock};
    FakePortOpener ports{line};
    RecordingOperator person;
    MainDialog window{ports, clock, person};
};

}  // namespace tavolex::testing
