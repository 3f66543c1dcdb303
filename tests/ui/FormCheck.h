#pragma once

// Checks a Qt window against its table: every control where the table puts it at the window's
// DPI, with the table's text, tooltip, accessible name, font and colours.

#include "forms/FormSpec.h"
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
inline void checkAgainstTable(QWidget& window, const forms::FormSpec& form)
{
    const qreal dpi = window.logicalDpiX();
    QCOMPARE(window.objectName(), toQString(form.name));
    QCOMPARE(window.windowTitle(), toQString(form.caption));
    QCOMPARE(window.size(),
        QSize(twipsToPixels(form.clientWidth, dpi), twipsToPixels(form.clientHeight, dpi)));
    for (const forms::ControlSpec& spec : form.controls) {
        auto* widget = window.findChild<QWidget*>(toQString(spec.name));
        QVERIFY2(widget, spec.name.c_str());
        const forms::TwipsRect& r = spec.rect;
        QCOMPARE(widget->geometry(), twipsToPixels(r.left, r.top, r.width, r.height, dpi));
        if (spec.kind == forms::ControlKind::Label || spec.kind == forms::ControlKind::Button
            || spec.kind == forms::ControlKind::TextView)
            QCOMPARE(shownText(widget), toQString(spec.text));
        QCOMPARE(widget->toolTip(), toQString(spec.tooltip));
        QCOMPARE(widget->accessibleName(), toQString(spec.accessibleName));
        if (spec.font) {
            const QFont expected = fontOf(*spec.font);
            QCOMPARE(widget->font().family(), expected.family());
            QCOMPARE(widget->font().pointSizeF(), expected.pointSizeF());
            QCOMPARE(widget->font().bold(), expected.bold());
            QCOMPARE(widget->font().italic(), expected.italic());
        }
        if (spec.textColour) {
            const QPalette::ColorRole role
                = qobject_cast<QLabel*>(widget) ? QPalette::WindowText : QPalette::Text;
            QCOMPARE(widget->palette().color(role), colourOf(*spec.textColour));
        }
        if (spec.fieldColour)
            QCOMPARE(widget->palette().color(QPalette::Base), colourOf(*spec.fieldColour));
    }
}

} // namespace rinvo::testing
