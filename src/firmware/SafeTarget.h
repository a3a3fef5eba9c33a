#pragma once
// The file a transfer from the device is received into: a temporary file next to the target,
// which replaces the target only when the transfer completed. A failed or stopped transfer
// leaves the target as it was (and removes the empty file made for a new name).
#include <QString>
#include <memory>

class QTemporaryFile;

namespace firmware {

class SafeTarget {
public:
    // `created`: the target did not exist and was made empty to prove its name usable.
    SafeTarget(const QString& target, bool created);
    ~SafeTarget();
    SafeTarget(const SafeTarget&) = delete;
    SafeTarget& operator=(const SafeTarget&) = delete;

    // False when no temporary file can be made in the target's folder.
    bool isValid() const;
    QString temporaryPath() const;
    // Moves the received file over the target in one step; false when the system refused.
    bool commit();

private:
    QString target_;
    bool created_;
    bool committed_ = false;
    std::unique_ptr<QTemporaryFile> temp_;
};

}  // namespace firmware
