// Arranging the advanced panel's frames for a job kind.

#include "ui/main_window.h"
#include "ui/windows.h"

namespace cantova::ui {

namespace {

constexpr int kGap = 110;
constexpr int kMargin = 120;

int Right(const Frame& frame) {
    return frame.geometry().left + frame.geometry().width;
}

int Bottom(const Frame& frame) {
    return frame.geometry().top + frame.geometry().height;
}

void Place(Frame& frame, int left, int top) {
    frame.setLeft(left);
    frame.setTop(top);
}

// Below `above`, right edges aligned.
void PlaceBelowRightAligned(Frame& frame, const Frame& above) {
    Place(frame, Right(above) - frame.geometry().width, Bottom(above) + kGap);
}

} // namespace

void MainWindow::ShowAdvancedPanel(int jobKind) {
    if (jobKind < 0 || jobKind > 5) {
        return;
    }
    AdvancedPanel& p = panel();
    p.Frame1.setBorder(false);
    const bool azid = jobKind == 1 || jobKind == 2 || jobKind == 3 || jobKind == 5;
    const bool lame = jobKind == 0 || jobKind == 1;
    const bool vorbis = jobKind == 2 || jobKind == 4;
    const bool ac3 = jobKind == 3;
    p.Frame6.setVisible(azid);
    p.Frame8.setVisible(lame);
    p.Frame7.setVisible(vorbis);
    p.Frame9.setVisible(ac3);
    p.Frame1.setVisible(true);

    const Frame* widthFrom = &p.Frame6;
    switch (jobKind) {
    case 0:
        Place(p.Frame8, kMargin, kMargin);
        PlaceBelowRightAligned(p.Frame1, p.Frame8);
        widthFrom = &p.Frame8;
        break;
    case 1:
    case 2: {
        Frame& encoder = jobKind == 1 ? p.Frame8 : p.Frame7;
        Place(p.Frame6, kMargin, kMargin);
        Place(encoder, Right(p.Frame6) + kGap, kMargin);
        PlaceBelowRightAligned(p.Frame1, encoder);
        widthFrom = &encoder;
        break;
    }
    case 3:
        Place(p.Frame6, kMargin, kMargin);
        Place(p.Frame9, kMargin, Bottom(p.Frame6) + kGap);
        Place(p.Frame1, kMargin, Bottom(p.Frame9) + kGap);
        break;
    default: {
        Frame& only = jobKind == 4 ? p.Frame7 : p.Frame6;
        Place(only, kMargin, kMargin);
        Place(p.Frame1, kMargin, Bottom(only) + kGap);
        widthFrom = &only;
        break;
    }
    }
    p.setSize(Right(*widthFrom) + 200, Bottom(p.Frame1) + 300);
    p.show();
}

} // namespace cantova::ui
