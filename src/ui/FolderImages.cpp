#include "FolderImages.h"

#include <QPainter>
#include <QPolygon>

namespace rinvo {

QPixmap folderImage(int image)
{
    const bool open = image == 1;
    QPixmap pixmap(18, open ? 16 : 15);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QColor outline(0x80, 0x60, 0x00);
    painter.setPen(outline);
    // The tab, then the body; an open folder's front leans forward.
    painter.setBrush(QColor(0xE8, 0xC0, 0x40));
    painter.drawPolygon(
        QPolygon({ { 1, 2 }, { 6, 2 }, { 8, 4 }, { 15, 4 }, { 15, 13 }, { 1, 13 } }));
    painter.setBrush(QColor(0xFF, 0xDD, 0x60));
    if (open)
        painter.drawPolygon(QPolygon({ { 4, 7 }, { 17, 7 }, { 14, 15 }, { 1, 15 } }));
    else
        painter.drawRect(1, 6, 14, 7);
    return pixmap;
}

} // namespace rinvo
