#include "firmware/SafeTarget.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>

namespace firmware {

SafeTarget::SafeTarget(const QString& target, bool created)
    : target_(target), created_(created),
      temp_(std::make_unique<QTemporaryFile>(QFileInfo(target).absolutePath() + QStringLiteral("/.qln-receive-XXXXXX")))
{
    // Made now (and closed), so that the server writes into a file of this process's own.
    if (temp_->open()) temp_->close();
}

SafeTarget::~SafeTarget()
{
    if (!committed_ && created_) QFile::remove(target_);
}

bool SafeTarget::isValid() const { return !temp_->fileName().isEmpty() && QFileInfo::exists(temp_->fileName()); }

QString SafeTarget::temporaryPath() const { return temp_->fileName(); }

bool SafeTarget::commit()
{
    // The file keeps the permissions of the one it replaces (a temporary file is private).
    const QFileDevice::Permissions kept = created_ ? QFileDevice::Permissions() : QFile::permissions(target_);
    QFile::setPermissions(temp_->fileName(), kept ? kept : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                             QFileDevice::ReadGroup | QFileDevice::ReadOther);
    // rename() replaces the target at once: there is no moment without either file.
    if (std::rename(QFile::encodeName(temp_->fileName()).constData(), QFile::encodeName(target_).constData()) != 0)
        return false;
    temp_->setAutoRemove(false);
    committed_ = true;
    return true;
}

}  // namespace firmware
