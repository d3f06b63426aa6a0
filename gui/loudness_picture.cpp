#include "gui/loudness_picture.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace cantova::ui::qt {

namespace {

// The loudness axis runs from the quietest level shown to 0 LUFS, in steps of this many LU.
constexpr double kStep = 6;
constexpr double kQuietest = -60;

const QColor kSourceColor(110, 110, 110);
const QColor kOutputColor(20, 100, 200);
const QColor kTargetColor(30, 140, 60);
const QColor kCeilingColor(200, 40, 40);
const QColor kLimiterColor(230, 120, 40, 70);

QString Level(double value, const char* unit) {
    return std::isfinite(value) ? QString("%1 %2").arg(value, 0, 'f', 1).arg(unit)
                                : QString("-inf %1").arg(unit);
}

QString Time(double seconds) {
    const int whole = static_cast<int>(seconds);
    return QString("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QChar('0'));
}

} // namespace

LoudnessPicture::LoudnessPicture(jobs::LoudnessCurves curves, QWidget* parent)
    : QWidget(parent), curves_(std::move(curves)) {
    setObjectName("LoudnessPicture");
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

QImage LoudnessPicture::image(QSize size) const {
    QImage picture(size, QImage::Format_ARGB32);
    picture.fill(palette().color(QPalette::Base));
    QPainter painter(&picture);
    painter.setFont(font());
    draw(painter, picture.rect());
    return picture;
}

void LoudnessPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    draw(painter, rect());
}

void LoudnessPicture::draw(QPainter& painter, QRect area) const {
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics = painter.fontMetrics();
    const int line = metrics.height();
    // Room for the level labels at the left, the times below (the last one centred on the right
    // edge), the legend above.
    const double seconds =
        std::max(curves_.interval, curves_.interval * static_cast<double>(curves_.source.size()));
    const QRect plot =
        area.adjusted(metrics.horizontalAdvance(Level(kQuietest, "LUFS")) + 8, 2 * line + 6,
                      -(metrics.horizontalAdvance(Time(seconds)) / 2 + 8), -(line + 6));
    if (plot.width() < 20 || plot.height() < 20) {
        return;
    }
    const auto x = [&](double time) { return plot.left() + plot.width() * time / seconds; };
    const auto y = [&](double level) {
        const double shown = std::clamp(level, kQuietest, 0.0);
        return plot.top() + plot.height() * shown / kQuietest;
    };

    // The limiter's stretches, below everything else.
    for (const auto& [from, to] : curves_.limiter) {
        painter.fillRect(QRectF(QPointF(x(from), plot.top()), QPointF(x(to), plot.bottom())),
                         kLimiterColor);
    }
    // The grid with its levels and times.
    const QColor text = palette().color(QPalette::Text);
    painter.setPen(QPen(palette().color(QPalette::Mid), 0));
    for (double level = 0; level >= kQuietest; level -= kStep) {
        painter.drawLine(QPointF(plot.left(), y(level)), QPointF(plot.right(), y(level)));
        painter.save();
        painter.setPen(text);
        painter.drawText(
            QRectF(area.left(), y(level) - line / 2.0, plot.left() - area.left() - 4, line),
            Qt::AlignRight | Qt::AlignVCenter, Level(level, "LUFS"));
        painter.restore();
    }
    const int marks = std::max(1, plot.width() / (metrics.horizontalAdvance("00:00") * 3));
    for (int mark = 0; mark <= marks; ++mark) {
        const double time = seconds * mark / marks;
        painter.save();
        painter.setPen(text);
        painter.drawText(QRectF(x(time) - 40, plot.bottom() + 4, 80, line), Qt::AlignHCenter,
                         Time(time));
        painter.restore();
    }
    painter.drawRect(plot);

    // The levels across the whole plot, dashed. Their labels come after the curves, on the
    // background: a curve passing by would otherwise hide a digit or a level's minus sign.
    struct Across {
        double level;
        QColor color;
        QString label;
    };
    std::vector<Across> levels;
    if (curves_.target) {
        levels.push_back(
            {*curves_.target, kTargetColor, "target " + Level(*curves_.target, "LUFS")});
    }
    if (curves_.ceiling) {
        levels.push_back({*curves_.ceiling, kCeilingColor,
                          "true-peak ceiling " + Level(*curves_.ceiling, "dBTP")});
    }
    for (const Across& across : levels) {
        painter.setPen(QPen(across.color, 1.5, Qt::DashLine));
        painter.drawLine(QPointF(plot.left(), y(across.level)),
                         QPointF(plot.right(), y(across.level)));
    }
    // The curves: a silent stretch breaks them.
    const auto curve = [&](const std::vector<double>& levels, const QColor& color) {
        QPainterPath path;
        bool drawing = false;
        for (std::size_t i = 0; i < levels.size(); ++i) {
            if (!std::isfinite(levels[i])) {
                drawing = false;
                continue;
            }
            const QPointF at(x(curves_.interval * static_cast<double>(i)), y(levels[i]));
            if (drawing) {
                path.lineTo(at);
            } else {
                path.moveTo(at);
            }
            drawing = true;
        }
        painter.setPen(QPen(color, 1.5));
        painter.drawPath(path);
    };
    painter.save();
    painter.setClipRect(plot);
    curve(curves_.source, kSourceColor);
    curve(curves_.output, kOutputColor);
    painter.restore();
    const auto integrated = [&](double level, const QColor& color) {
        if (std::isfinite(level)) {
            painter.setPen(QPen(color, 1, Qt::DotLine));
            painter.drawLine(QPointF(plot.left(), y(level)), QPointF(plot.right(), y(level)));
        }
    };
    integrated(curves_.sourceIntegrated, kSourceColor);
    integrated(curves_.outputIntegrated, kOutputColor);
    QColor labelBackground = palette().color(QPalette::Base);
    labelBackground.setAlpha(230);
    for (const Across& across : levels) {
        const QRectF room(plot.left() + 4, y(across.level) - line - 1, plot.width() - 8, line);
        const QRectF box =
            painter.boundingRect(room, Qt::AlignRight | Qt::AlignBottom, across.label);
        painter.fillRect(box.adjusted(-3, 0, 3, 0), labelBackground);
        painter.setPen(across.color);
        painter.drawText(box, Qt::AlignRight | Qt::AlignBottom, across.label);
    }

    // The legend: what each colour is, with the integrated loudness.
    int left = plot.left();
    const auto legend = [&](const QColor& color, const QString& label) {
        painter.fillRect(QRect(left, area.top() + 4 + line / 4, line, line / 2), color);
        left += line + 4;
        painter.setPen(text);
        painter.drawText(QPoint(left, area.top() + 4 + metrics.ascent()), label);
        left += metrics.horizontalAdvance(label) + 2 * line;
    };
    legend(kSourceColor, "source, integrated " + Level(curves_.sourceIntegrated, "LUFS"));
    legend(kOutputColor, "output, integrated " + Level(curves_.outputIntegrated, "LUFS"));
    if (!curves_.limiter.empty()) {
        legend(kLimiterColor, "limiter acting");
    }
}

} // namespace cantova::ui::qt
