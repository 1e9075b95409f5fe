// Sliders, picture buttons, volume icons, the scroll bar and the export art.
#include "Gallery.h"

#include "resources/Artwork.h"
#include "widgets/OctImgBtn.h"
#include "widgets/RepetaScrollBar.h"
#include "widgets/VolSlider.h"
#include "widgets/wikiSlider.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QPainter>

namespace {

QString image(const char* name)
{
    return QStringLiteral(":/images/") + QLatin1String(name);
}

QList<Shot> sliderShots()
{
    QList<Shot> shots;
    for (int value : {0, 35, 75, 100}) {
        VolSlider slider;
        slider.setRange(0, 100);
        slider.setValue(value);
        slider.resize(75, 20);
        shots.append({QStringLiteral("volume %1").arg(value), Gallery::grab(slider)});
    }
    for (float position : {0.0f, 0.4f, 1.0f}) {
        wikiSlider slider;
        slider.resize(300, 16);
        slider.setPosition(position);
        shots.append({QStringLiteral("position %1").arg(double(position)), Gallery::grab(slider)});
    }
    return shots;
}

enum class Look { Normal, Hovered, Pressed, Disabled };

QImage buttonIn(const char* sprite, bool checkable, bool checked, Look look, const QString& text)
{
    OctImgBtn button;
    button.setCheckable(checkable);
    button.setSprite(loadArtwork(image(sprite)), 4);
    button.setChecked(checked);
    button.setTexts(text, text);
    if (look == Look::Hovered) {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(&button, &enter);
    }
    button.setDown(look == Look::Pressed);
    button.setEnabled(look != Look::Disabled);
    return Gallery::grab(button);
}

QList<Shot> buttonShots(const char* sprite, bool checkable, const QString& text = QString())
{
    const QList<QPair<Look, QString>> looks = {{Look::Normal, QStringLiteral("normal")},
                                               {Look::Hovered, QStringLiteral("hovered")},
                                               {Look::Pressed, QStringLiteral("pressed")},
                                               {Look::Disabled, QStringLiteral("disabled")}};
    QList<Shot> shots;
    for (bool checked : checkable ? QList<bool>{false, true} : QList<bool>{false}) {
        for (const auto& look : looks) {
            const QString caption = checked ? QStringLiteral("on, ") + look.second : look.second;
            shots.append({caption, buttonIn(sprite, checkable, checked, look.first, text)});
        }
    }
    return shots;
}

QList<Shot> iconShots()
{
    QList<Shot> shots;
    for (const char* kind : {"volumer", "recvol"}) {
        for (const char* level : {"000", "025", "050", "075", "100"}) {
            QLabel icon;
            icon.setPixmap(loadArtwork(QStringLiteral(":/images/%1%2.png").arg(QLatin1String(kind), QLatin1String(level))));
            icon.resize(24, 24);
            shots.append({QLatin1String(kind) + QLatin1String(level), Gallery::grab(icon)});
        }
    }
    return shots;
}

QList<Shot> scrollBarShots()
{
    QList<Shot> shots;
    const struct {
        const char* caption;
        int maximum;
        int page;
        int value;
    } cases[] = {{"empty range", 0, 10, 0}, {"top", 100, 100, 0}, {"middle", 300, 100, 150},
                 {"end", 300, 100, 300}, {"long document", 10000, 10, 4000}};
    for (const auto& c : cases) {
        RepetaScrollBar bar;
        bar.resize(12, 160);
        bar.setRange(0, c.maximum);
        bar.setPageStep(c.page);
        bar.setValue(c.value);
        shots.append({QLatin1String(c.caption), Gallery::grab(bar)});
    }
    return shots;
}

// The export art where it is used: the title on the frame's blue band, the
// marker in a white tree cell.
QList<Shot> exportArtShots()
{
    const qreal ratio = qApp->devicePixelRatio();
    const QPixmap title = loadArtwork(image("bg-export-wndicon.png"));
    QImage band(QSize(170, 40) * ratio, QImage::Format_ARGB32_Premultiplied);
    band.setDevicePixelRatio(ratio);
    QPainter painter(&band);
    QLinearGradient blue(0, 0, 0, 40);
    blue.setColorAt(0, QColor(27, 140, 200));
    blue.setColorAt(1, QColor(24, 120, 164));
    painter.fillRect(QRect(0, 0, 170, 40), blue);
    painter.drawPixmap(QPoint(12, 4), title);
    painter.end();
    QImage cell(QSize(44, 20) * ratio, QImage::Format_ARGB32_Premultiplied);
    cell.setDevicePixelRatio(ratio);
    cell.fill(Qt::white);
    QPainter cellPainter(&cell);
    cellPainter.drawPixmap(QPoint(14, 2), loadArtwork(image("bg-export-pointer.png")));
    cellPainter.end();
    return {{QStringLiteral("dialog title"), band}, {QStringLiteral("export marker"), cell}};
}

QList<Shot> programIconShots()
{
    QList<Shot> shots;
    const QIcon icon(image("Repeta.ico"));
    for (int side : {16, 24, 32, 48, 64, 128}) {
        QImage picture = icon.pixmap(QSize(side, side), qApp->devicePixelRatio()).toImage();
        shots.append({QStringLiteral("%1 px").arg(side), picture});
    }
    return shots;
}

} // namespace

void shootControls(Gallery& gallery)
{
    gallery.save(QStringLiteral("sliders"), Gallery::sheet(sliderShots(), kPanelGround, 4));
    gallery.save(QStringLiteral("button-play"), Gallery::sheet(buttonShots("btn-wikipauser-check.png", true), kPanelGround));
    gallery.save(QStringLiteral("button-stop"), Gallery::sheet(buttonShots("btn-wikistopper-press.png", false), kPanelGround));
    gallery.save(QStringLiteral("button-record"), Gallery::sheet(buttonShots("btn-recctrl-check.png", true), kPanelGround));
    gallery.save(QStringLiteral("button-library"), Gallery::sheet(buttonShots("btn-matshow-press.png", false), kPanelGround));
    gallery.save(QStringLiteral("button-edit"),
                 Gallery::sheet(buttonShots("btn-PlotCtrlView-check.png", true, QString::fromUtf8("编辑")), kPanelGround));
    gallery.save(QStringLiteral("button-split"),
                 Gallery::sheet(buttonShots("btn-PlotCtrlView-press.png", false, QString::fromUtf8("截断")), kPanelGround));
    gallery.save(QStringLiteral("button-export-scan"), Gallery::sheet(buttonShots("btn-exporter-scan.png", false), kPanelGround));
    gallery.save(QStringLiteral("button-export-confirm"), Gallery::sheet(buttonShots("btn-exporter-export.png", false), kPanelGround));
    gallery.save(QStringLiteral("button-export-cancel"), Gallery::sheet(buttonShots("btn-exporter-cancel.png", false), kPanelGround));
    gallery.save(QStringLiteral("volume-icons"), Gallery::sheet(iconShots(), kPanelGround, 5));
    gallery.save(QStringLiteral("scroll-bar"), Gallery::sheet(scrollBarShots(), Qt::white, 5));
    gallery.save(QStringLiteral("export-art"), Gallery::sheet(exportArtShots(), kPanelGround));
    gallery.save(QStringLiteral("program-icon"), Gallery::sheet(programIconShots(), kPanelGround));
}
