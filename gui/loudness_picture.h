#pragma once

// The loudness picture of a done job: the short-term loudness of its source and of its output
// over time, their integrated loudness, the loudness target and the true-peak ceiling, and the
// stretches where the limiter acted, drawn for a person to read at a glance.

#include "jobs/loudness_curves.h"

#include <QImage>
#include <QWidget>

namespace cantova::ui::qt {

class LoudnessPicture final : public QWidget {
public:
    LoudnessPicture(jobs::LoudnessCurves curves, QWidget* parent = nullptr);

    // The picture drawn at size, for a file.
    QImage image(QSize size) const;

    QSize sizeHint() const override { return {720, 360}; }
    QSize minimumSizeHint() const override { return {360, 200}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void draw(QPainter& painter, QRect area) const;

    jobs::LoudnessCurves curves_;
};

} // namespace cantova::ui::qt
