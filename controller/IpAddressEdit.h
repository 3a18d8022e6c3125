#pragma once

#include <QWidget>
#include <array>

class QLineEdit;

// The four-field IP address input: four fields of 0 to 255 separated by dots. Typing "." or a
// third digit moves to the next field; a field may be left blank.
class IpAddressEdit : public QWidget {
    Q_OBJECT

public:
    explicit IpAddressEdit(QWidget* parent = nullptr);

    // Sets the four fields, first octet first; only the low 8 bits of each value count.
    void SetAddress(const std::array<int, 4>& octets);
    // The value of field index (0 to 3); -1 when it is blank.
    int Field(int index) const;
    // How many of the four fields hold a value.
    int FilledFieldCount() const;
    // "%d.%d.%d.%d", first field first; a blank field counts as 0.
    QString AddressText() const;
    QLineEdit* FieldEdit(int index) const { return fields_[static_cast<size_t>(index)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void MoveToField(int index);
    // Makes each field as wide as three digits of its font need.
    void SizeFields();

    std::array<QLineEdit*, 4> fields_{};
};
