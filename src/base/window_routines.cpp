#include "base/window_routines.h"

#include "platform/dialogs.h"
#include "platform/link_opener.h"
#include "wordlists/word_list.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QWidget>

#include <cmath>

namespace modStandard {

namespace {

// Draws the tiles under the surface's own painting: it paints on the surface at the start of each
// of its paint events, so controls and anything the surface draws itself stay on top.
class TiledBackground : public QObject
{
public:
    TiledBackground(const QPixmap &tile, const QPixmap &sharpTile, QWidget *surface)
        : QObject(surface), m_tile(tile), m_sharpTile(sharpTile)
    {
        setObjectName(QStringLiteral("modStandard_TiledBackground"));
        surface->installEventFilter(this);
        surface->setAttribute(Qt::WA_OpaquePaintEvent, false);
        surface->update();
    }

    void setTile(const QPixmap &tile, const QPixmap &sharpTile)
    {
        m_tile = tile;
        m_sharpTile = sharpTile;
        m_rendered = QPixmap();
        m_renderedSize = QSize();
        static_cast<QWidget *>(parent())->update();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched == parent()) {
            auto *surface = static_cast<QWidget *>(watched);
            const qreal ratio = surface->devicePixelRatioF();
            if (m_renderedSize != surface->size() || m_rendered.devicePixelRatio() != ratio)
                render(surface->size(), ratio);
            QPainter painter(surface);
            painter.drawPixmap(0, 0, m_rendered);
        }
        return false;
    }

private:
    // The tiling is kept at the screen's device pixels, so it is drawn 1:1 and a tile that has
    // pixels of its own for this scale stays sharp. A tile enlarged by a fraction is smoothed
    // rather than made of uneven pixel columns.
    void render(QSize size, qreal ratio)
    {
        m_renderedSize = size;
        m_rendered = QPixmap(QSize(qRound(size.width() * ratio), qRound(size.height() * ratio)));
        m_rendered.setDevicePixelRatio(ratio);
        m_rendered.fill(Qt::transparent);
        QPainter painter(&m_rendered);
        const QPixmap &tile = ratio > 1.0 && !m_sharpTile.isNull() ? m_sharpTile : m_tile;
        const qreal enlargement = ratio / tile.devicePixelRatio();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, enlargement != std::floor(enlargement));
        for (const QPoint &origin : tileOrigins(size, m_tile.deviceIndependentSize().toSize()))
            painter.drawPixmap(QRect(origin, m_tile.deviceIndependentSize().toSize()), tile);
    }

    QPixmap m_tile;
    QPixmap m_sharpTile; // the same picture at twice the resolution, or none
    QPixmap m_rendered;
    QSize m_renderedSize; // in logical pixels
};

} // namespace

namespace {

void tile(const QPixmap &image, const QPixmap &sharpImage, QWidget *surface)
{
    if (!surface)
        return;
    auto *existing = surface->findChild<TiledBackground *>(QStringLiteral("modStandard_TiledBackground"),
                                                           Qt::FindDirectChildrenOnly);
    if (image.isNull()) {
        delete existing;
        surface->update();
        return;
    }
    if (existing)
        existing->setTile(image, sharpImage);
    else
        new TiledBackground(image, sharpImage, surface);
}

} // namespace

void TileBackground(const QPixmap &image, QWidget *surface)
{
    tile(image, QPixmap(), surface);
}

void TileBackground(const QString &picture, QWidget *surface)
{
    const QPixmap image(picture);
    const qsizetype dot = picture.lastIndexOf(u'.');
    QPixmap sharp;
    if (!image.isNull() && dot > 0) {
        sharp = QPixmap(picture.left(dot) + QStringLiteral("@2x") + picture.mid(dot));
        // Only a copy of exactly twice the size is the same picture.
        if (sharp.size() == image.size() * 2)
            sharp.setDevicePixelRatio(2.0);
        else
            sharp = QPixmap();
    }
    tile(image, sharp, surface);
}

void OpenLink(int kind, QWidget *owner, const QString &target)
{
    Q_UNUSED(owner); // the launcher opens its own window; nothing of the owner is needed
    const QString link = linkFor(kind, target);
    if (link.isEmpty())
        return;
    if (!brivamo::linkOpener().open(link))
        brivamo::dialogs().MsgBox(LinkFailedText, brivamo::MsgButtons::OkOnly, brivamo::MsgIcon::Critical,
                                  LinkFailedCaption);
}

bool AcceptPdfFileName(const QString &file)
{
    const std::optional<modSupport::OverwrittenList> list =
        modSupport::ListOverwrittenBy(QFile::encodeName(file));
    if (!list)
        return true;
    const QString name = QFileInfo(file).fileName();
    const QString reason =
        list->sameFile
            ? QStringLiteral("\"%1\" is another name of the word list file \"%2\".").arg(name, list->fileName)
            : QStringLiteral("Saving \"%1\" would replace the word list file \"%2\".")
                  .arg(name, list->fileName);
    brivamo::dialogs().MsgBox(reason + QStringLiteral("\r\n\r\nPlease choose another name for the PDF file."),
                              brivamo::MsgButtons::OkOnly, brivamo::MsgIcon::Critical,
                              QStringLiteral("Error"));
    return false;
}

} // namespace modStandard
