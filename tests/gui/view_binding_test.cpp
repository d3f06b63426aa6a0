// The views' binding to the window models, under the offscreen platform.

#include "gui/form_scale.h"
#include "gui/main_window_view.h"
#include "gui/panel_view.h"
#include "ui/windows.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QtTest>

#include <cmath>

using namespace cantova;

class ViewBindingTest : public QObject {
    Q_OBJECT

private slots:
    void clickChangesModelAndRunsReactionWithoutFeedback() {
        Messages messages;
        ui::Windows windows(messages);
        ui::qt::MainWindowView view(windows.frmMain);
        int runs = 0;
        // A reaction that writes back must not recurse through the view.
        windows.frmMain.ChkAutoDelay.onClick([&] {
            ++runs;
            windows.frmMain.ChkAutoDelay.setValue(0);
        });
        auto* box = static_cast<QCheckBox*>(view.form().widgetOf("ChkAutoDelay"));
        QVERIFY(box != nullptr);
        box->click();
        QCOMPARE(runs, 2);
        QCOMPARE(windows.frmMain.ChkAutoDelay.value(), 0);
        QCOMPARE(box->checkState(), Qt::Unchecked);
    }

    void modelChangeShowsInWidgetAndGeometryInPixels() {
        Messages messages;
        ui::Windows windows(messages);
        ui::qt::MainWindowView view(windows.frmMain);
        auto* list = static_cast<QComboBox*>(view.form().widgetOf("CmbSampleRate"));
        windows.frmMain.CmbSampleRate.setListIndex(2);
        QCOMPARE(list->currentText(), QString("22050"));
        windows.frmMain.CmbSampleRate.setEnabled(false);
        QVERIFY(!list->isEnabled());
        // 1200, 480, 1095, 315 twips inside its frame, at the forms' scale.
        const double scale = ui::qt::FormPixelsPerTwip();
        const auto pixels = [scale](int twips) { return int(std::lround(twips * scale)); };
        QCOMPARE(list->geometry(), QRect(QPoint(pixels(1200), pixels(480)),
                                         QPoint(pixels(2295) - 1, pixels(795) - 1)));
    }

    void panelIgnoresCloseRequest() {
        Messages messages;
        ui::Windows windows(messages);
        ui::qt::PanelView panel(windows.frmPanelAudio, nullptr);
        windows.frmPanelAudio.show();
        QVERIFY(panel.isVisible());
        QVERIFY(!panel.close());
        QVERIFY(panel.isVisible());
    }

private:
    struct Messages : ui::MessageBoxes {
        void Show(const std::string&, const std::string&, ui::MessageIcon) override {}
        void Ask(const std::string&, const std::string&, Answer answered) override {
            answered(false);
        }
    };
};

QTEST_MAIN(ViewBindingTest)
#include "view_binding_test.moc"
