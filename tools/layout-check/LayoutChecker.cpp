#include "tools/layout-check/LayoutChecker.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTreeView>
#include <QWidgetItem>

using namespace Qt::StringLiterals;

namespace {

constexpr int kShortFieldLength = 8;

QString Describe(const QSize& size) {
    return u"%1x%2"_s.arg(size.width()).arg(size.height());
}

QString NameOf(const QWidget* widget) {
    const QString name = widget->objectName();
    return name.isEmpty() ? QString::fromLatin1(widget->metaObject()->className()) : name;
}

// Composite controls lay out their own parts (viewports, scroll bars, the combo's editor).
bool IsComposite(const QWidget* widget) {
    return qobject_cast<const QAbstractScrollArea*>(widget) != nullptr ||
           qobject_cast<const QComboBox*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr;
}

QList<const QWidget*> VisibleChildren(const QWidget* widget) {
    QList<const QWidget*> children;
    for (const QObject* object : widget->children()) {
        const auto* child = qobject_cast<const QWidget*>(object);
        if (child != nullptr && !child->isWindow() && child->isVisible()) {
            children.append(child);
        }
    }
    return children;
}

}  // namespace

QStringList LayoutChecker::Check(const QWidget* root) {
    QStringList problems;
    CheckChildren(root, NameOf(root), problems);
    return problems;
}

void LayoutChecker::CheckChildren(const QWidget* widget, const QString& path,
                                  QStringList& problems) {
    const QList<const QWidget*> children = VisibleChildren(widget);
    for (qsizetype index = 0; index < children.size(); ++index) {
        const QWidget* child = children.at(index);
        const QString childPath = path + u'/' + NameOf(child);
        if (!widget->rect().contains(child->geometry())) {
            problems.append(u"%1: %2 at (%3, %4) sticks out of its parent's %5"_s
                                .arg(childPath, Describe(child->size()))
                                .arg(child->x())
                                .arg(child->y())
                                .arg(Describe(widget->size())));
        }
        for (qsizetype other = index + 1; other < children.size(); ++other) {
            if (child->geometry().intersects(children.at(other)->geometry())) {
                problems.append(u"%1 overlaps %2"_s.arg(childPath, NameOf(children.at(other))));
            }
        }
        CheckWidget(child, childPath, problems);
    }
}

void LayoutChecker::CheckWidget(const QWidget* widget, const QString& path, QStringList& problems) {
    // What a layout gives a widget at least: its minimum size, or its minimum size hint, or its
    // size hint when its size policy does not let it shrink.
    const QSize minimum = QWidgetItem(const_cast<QWidget*>(widget)).minimumSize();
    if (widget->width() < minimum.width() || widget->height() < minimum.height()) {
        problems.append(u"%1: %2, smaller than its minimum %3"_s.arg(path, Describe(widget->size()),
                                                                     Describe(minimum)));
    }
    CheckText(widget, path, problems);
    if (!IsComposite(widget)) {
        CheckChildren(widget, path, problems);
    }
}

void LayoutChecker::CheckText(const QWidget* widget, const QString& path, QStringList& problems) {
    // Labels without word wrap and buttons need their size hint to show all of their text.
    const auto* label = qobject_cast<const QLabel*>(widget);
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    const bool hasText = (label != nullptr && !label->text().isEmpty() && !label->wordWrap()) ||
                         (button != nullptr && !button->text().isEmpty());
    if (hasText) {
        const QSize needed = widget->sizeHint();
        if (widget->width() < needed.width() || widget->height() < needed.height()) {
            problems.append(u"%1: text \"%2\" needs %3 but has %4"_s.arg(
                path, label != nullptr ? label->text() : button->text(), Describe(needed),
                Describe(widget->size())));
        }
    }
    // A short field (an address octet) must show all it can hold; longer texts scroll.
    const auto* field = qobject_cast<const QLineEdit*>(widget);
    if (field != nullptr && field->maxLength() <= kShortFieldLength && !field->text().isEmpty()) {
        // QLineEdit keeps two pixels of margin on either side of its text, inside its frame.
        const int frame = field->hasFrame() ? field->style()->pixelMetric(
                                                  QStyle::PM_DefaultFrameWidth, nullptr, field)
                                            : 0;
        const int needed = field->fontMetrics().horizontalAdvance(field->text()) + 2 * (frame + 2);
        if (field->width() < needed) {
            problems.append(
                u"%1: field text \"%2\" needs %3 pixels but has %4"_s.arg(path, field->text())
                    .arg(needed)
                    .arg(field->width()));
        }
    }
    // Column titles of lists.
    const auto* view = qobject_cast<const QTreeView*>(widget);
    if (view != nullptr && !view->isHeaderHidden()) {
        const QHeaderView* header = view->header();
        for (int section = 0; section < header->count(); ++section) {
            if (header->isSectionHidden(section)) {
                continue;
            }
            if (header->sectionSize(section) < header->sectionSizeHint(section)) {
                problems.append(
                    u"%1: column \"%2\" is %3 wide, its title needs %4"_s
                        .arg(path, view->model()->headerData(section, Qt::Horizontal).toString())
                        .arg(header->sectionSize(section))
                        .arg(header->sectionSizeHint(section)));
            }
        }
    }
}
