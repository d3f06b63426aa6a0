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

void MainWindow::ShowAdvancedPanel(JobKind jobKind) {
    if (jobKind == JobKind::Wav) {
        return;
    }
    AdvancedPanel& p = panel();
    p.Frame1.setBorder(false);
    p.Frame6.setVisible(UsesAc3Decoder(jobKind));
    p.Frame8.setVisible(UsesMp3Encoder(jobKind));
    p.Frame7.setVisible(UsesVorbisEncoder(jobKind));
    p.Frame9.setVisible(UsesAc3Encoder(jobKind));
    p.Frame1.setVisible(true);

    const Frame* widthFrom = &p.Frame6;
    switch (jobKind) {
    case JobKind::Mp3:
        Place(p.Frame8, kMargin, kMargin);
        PlaceBelowRightAligned(p.Frame1, p.Frame8);
        widthFrom = &p.Frame8;
        break;
    case JobKind::Mp3FromAc3:
    case JobKind::OggFromAc3: {
        Frame& encoder = jobKind == JobKind::Mp3FromAc3 ? p.Frame8 : p.Frame7;
        Place(p.Frame6, kMargin, kMargin);
        Place(encoder, Right(p.Frame6) + kGap, kMargin);
        PlaceBelowRightAligned(p.Frame1, encoder);
        widthFrom = &encoder;
        break;
    }
    case JobKind::Ac3:
        Place(p.Frame6, kMargin, kMargin);
        Place(p.Frame9, kMargin, Bottom(p.Frame6) + kGap);
        Place(p.Frame1, kMargin, Bottom(p.Frame9) + kGap);
        break;
    default: {
        Frame& only = jobKind == JobKind::Ogg ? p.Frame7 : p.Frame6;
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
