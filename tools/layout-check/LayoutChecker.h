#pragma once

#include <QStringList>

class QWidget;

// Looks at a shown window's widgets the way a user would: a control squeezed below the size its
// layout promises it (its effective minimum size), a label, button or column header whose text is
// wider or taller than its place, a control that sticks out of its parent, and two sibling
// controls that overlap. The insides of item views, combo boxes and other composite controls are
// their own business and are not walked into.
class LayoutChecker {
public:
    // One line per problem found in root and its visible descendants, each naming the widget by
    // its path of object names; empty when the window is sound.
    static QStringList Check(const QWidget* root);

private:
    static void CheckWidget(const QWidget* widget, const QString& path, QStringList& problems);
    static void CheckText(const QWidget* widget, const QString& path, QStringList& problems);
    static void CheckChildren(const QWidget* widget, const QString& path, QStringList& problems);
};
