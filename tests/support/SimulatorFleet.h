#pragma once

#include <QList>
#include <QString>
#include <memory>
#include <vector>

#include "tests/support/ControllerSimulator.h"

// Several controller simulators at once, each on a free port with its own root, named c1, c2,
// ... in an installation folder's site.ini. For the tests and the benchmark of the installation
// tool.
class SimulatorFleet {
public:
    // Starts one simulator per options entry (all with the same user and password); false with
    // the reason in ErrorText().
    [[nodiscard]] bool Start(const QList<ControllerSimulator::Options>& options);
    int Size() const { return static_cast<int>(simulators_.size()); }
    ControllerSimulator& At(int index) { return *simulators_.at(static_cast<size_t>(index)); }
    static QString Name(int index) { return QStringLiteral("c%1").arg(index + 1); }
    // Writes site.ini (with the engineer "Test Engineer") and the password file "password" into
    // folder, naming every simulator.
    [[nodiscard]] bool WriteSite(const QString& folder) const;
    // Writes contents as the controller's remotePath on each simulator.
    [[nodiscard]] bool PutOnAll(const QString& remotePath, const QByteArray& contents);
    const QString& ErrorText() const { return errorText_; }

private:
    std::vector<std::unique_ptr<ControllerSimulator>> simulators_;
    QString errorText_;
};
