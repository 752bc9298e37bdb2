#pragma once
// Starting another program without waiting for it (a cost-estimating
// program under Wine, for instance).

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace kmx::platform {

class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // Starts `program` (a name looked up on PATH, or a path) with the
    // arguments, each handed over as it is, no shell between. False with the
    // system's reason when it cannot be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments,
                               const QString& workingDirectory, const QProcessEnvironment& environment,
                               QString* error) = 0;
};

class SystemProgramStarter : public ProgramStarter {
public:
    bool startDetached(const QString& program, const QStringList& arguments, const QString& workingDirectory,
                       const QProcessEnvironment& environment, QString* error) override;
};

// The program's starter: the system's unless a test installed another.
ProgramStarter& programs();
void setPrograms(ProgramStarter* starter);

}  // namespace kmx::platform
