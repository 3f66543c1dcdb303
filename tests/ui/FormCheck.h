#pragma once

// Checks a Qt window against its table: every control where the table puts it at the window's
// DPI, with the table's text, tooltip, accessible name, font and colours.

#include "forms/FormLayout.h"
#include "ui/FormBuilder.h"
#include "ui/QtText.h"
#include "ui/Twips.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTextEdit>
#include <QtTest>

namespace rinvo::testing {

inline QString shownText(QWidget* widget)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* text = qobject_cast<QTextEdit*>(widget))
        return text->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return {};
}

/// Fails the running test at the first control that differs from the table.
inline void checkAgainstTable(QWidget& window, const forms::FormLayout& form)
{
    const qreal dpi = window.logicalDpiX();
    QCOMPARE(window.objectName(), toQString(form.name));
    QCOMPARE(window.windowTitle(), toQString(form.caption));
    QCOMPARE(window.size(),
        QSize(twipsToPixels(form.clientWidth, dpi), twipsToPixels(form.clientHeight, dpi)));
    for (const forms::ControlLayout& layout : form.controls) {
        auto* widget = window.findChild<QWidget*>(toQString(layout.name));
        QVERIFY2(widget, layout.name.c_str());
        const forms::TwipsRect& r = layout.rect;
        QCOMPARE(widget->geometry(), twipsToPixels(r.left, r.top, r.width, r.height, dpi));
        if (layout.kind == forms::ControlKind::Label || layout.kind == forms::ControlKind::Button
            || layout.kind == forms::ControlKind::TextView)
            QCOMPARE(shownText(widget), toQString(layout.text));
        QCOMPARE(widget->toolTip(), toQString(layout.tooltip));
        QCOMPARE(widget->accessibleName(), toQString(layout.accessibleName));
        if (layout.font) {
            const QFont expected = fontOf(*layout.font);
            QCOMPARE(widget->font().family(), expected.family());
            QCOMPARE(widget->font().pointSizeF(), expected.pointSizeF());
            QCOMPARE(widget->font().bold(), expected.bold());
            QCOMPARE(widget->font().italic(), expected.italic());
        }
        if (layout.textColour) {
            const QPalette::ColorRole role
                = qobject_cast<QLabel*>(widget) ? QPalette::WindowText : QPalette::Text;
            QCOMPARE(widget->palette().color(role), colourOf(*layout.textColour));
        }
        if (layout.fieldColour)
            QCOMPARE(widget->palette().color(QPalette::Base), colourOf(*layout.fieldColour));
    }
}

} // namespace rinvo::testing
