// Arranging the advanced panel's frames for a job kind.

#include "ui/main_window.h"
#include "ui/windows.h"

#include <algorithm>

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

// The encoder frame beside the decoder's for a job from an AC3 source.
Frame& EncoderFrame(AdvancedPanel& p, JobKind jobKind) {
    switch (jobKind) {
    case JobKind::Mp3FromAc3:
        return p.Frame8;
    case JobKind::OpusFromAc3:
        return p.FrameOpus;
    case JobKind::FlacFromAc3:
        return p.FrameFlac;
    default:
        return p.Frame7;
    }
}

// The one frame of a job that has no decoder or no encoder options of the other kind.
Frame& OnlyFrame(AdvancedPanel& p, JobKind jobKind) {
    switch (jobKind) {
    case JobKind::Ogg:
        return p.Frame7;
    case JobKind::Opus:
        return p.FrameOpus;
    case JobKind::Flac:
        return p.FrameFlac;
    default:
        return p.Frame6;
    }
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
    p.FrameOpus.setVisible(UsesOpusEncoder(jobKind));
    p.FrameFlac.setVisible(UsesFlacEncoder(jobKind));
    p.Frame1.setVisible(true);

    const Frame* widthFrom = &p.Frame6;
    switch (jobKind) {
    case JobKind::Mp3:
        Place(p.Frame8, kMargin, kMargin);
        PlaceBelowRightAligned(p.Frame1, p.Frame8);
        widthFrom = &p.Frame8;
        break;
    case JobKind::OpusFromAc3:
    case JobKind::FlacFromAc3:
    case JobKind::Mp3FromAc3:
    case JobKind::OggFromAc3: {
        Frame& encoder = EncoderFrame(p, jobKind);
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
        Frame& only = OnlyFrame(p, jobKind);
        Place(only, kMargin, kMargin);
        Place(p.Frame1, kMargin, Bottom(only) + kGap);
        widthFrom = &only;
        break;
    }
    }
    // The decoder's frame may reach below a short encoder frame and the Close button under it.
    const int bottom = std::max(Bottom(p.Frame1), p.Frame6.visible() ? Bottom(p.Frame6) : 0);
    p.setSize(Right(*widthFrom) + 200, bottom + 300);
    p.show();
}

} // namespace cantova::ui
