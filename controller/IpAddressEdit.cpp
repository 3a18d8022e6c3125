#include "controller/IpAddressEdit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleOptionFrame>

using namespace Qt::StringLiterals;

IpAddressEdit::IpAddressEdit(QWidget* parent) : QWidget(parent) {
    setObjectName(u"addressControl"_s);
    setAccessibleName(u"Zentor address"_s);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    auto* validator = new QRegularExpressionValidator(
        QRegularExpression(u"^(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])?$"_s), this);
    for (int index = 0; index < 4; ++index) {
        auto* field = new QLineEdit(this);
        field->setObjectName(u"addressField%1"_s.arg(index));
        field->setAccessibleName(u"Zentor address, part %1"_s.arg(index + 1));
        field->setValidator(validator);
        field->setMaxLength(3);
        field->setAlignment(Qt::AlignCenter);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, index](const QString& text) {
            if (text.size() == 3 && index < 3) {
                MoveToField(index + 1);
            }
        });
        fields_[static_cast<size_t>(index)] = field;
        if (index > 0) {
            row->addWidget(new QLabel(u"."_s, this));
        }
        row->addWidget(field);
    }
    row->addStretch();
    setFocusProxy(fields_[0]);
    SizeFields();
}

void IpAddressEdit::SizeFields() {
    for (QLineEdit* field : fields_) {
        const QFontMetrics metrics = field->fontMetrics();
        QStyleOptionFrame option;
        option.initFrom(field);
        option.lineWidth =
            field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
        option.state |= QStyle::State_Sunken;
        // Three digits, the line edit's own text margins and room for the cursor.
        const QSize text(metrics.horizontalAdvance(u"000"_s) + 2 * metrics.averageCharWidth(),
                         metrics.height());
        field->setFixedWidth(
            field->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, field).width());
    }
}

void IpAddressEdit::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        SizeFields();
    }
}

void IpAddressEdit::SetAddress(const std::array<int, 4>& octets) {
    for (size_t index = 0; index < 4; ++index) {
        fields_[index]->setText(QString::number(octets[index] & 0xFF));
    }
}

int IpAddressEdit::Field(int index) const {
    const QString text = fields_[static_cast<size_t>(index)]->text();
    return text.isEmpty() ? -1 : text.toInt();
}

int IpAddressEdit::FilledFieldCount() const {
    int count = 0;
    for (int index = 0; index < 4; ++index) {
        count += Field(index) >= 0 ? 1 : 0;
    }
    return count;
}

QString IpAddressEdit::AddressText() const {
    QStringList parts;
    for (int index = 0; index < 4; ++index) {
        parts << QString::number(qMax(0, Field(index)));
    }
    return parts.join(u'.');
}

void IpAddressEdit::MoveToField(int index) {
    QLineEdit* field = fields_[static_cast<size_t>(index)];
    field->setFocus();
    field->selectAll();
}

bool IpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        for (int index = 0; index < 4; ++index) {
            if (watched != fields_[static_cast<size_t>(index)]) {
                continue;
            }
            if (key->text() == u"."_s) {
                if (index < 3 && !fields_[static_cast<size_t>(index)]->text().isEmpty()) {
                    MoveToField(index + 1);
                }
                return true;  // the dot itself is never typed into a field
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
