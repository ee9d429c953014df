#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <QFile>
#include <QString>

// Makes a folder read-only while the object lives. Root ignores permission bits, so this
// thread also gives up the capability to override them for as long (it stays permitted and
// comes back at the end): the folder then refuses new files as it would for any user.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const QString &path) : m_path(path) {
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
        setOverride(false);
    }
    ~ReadOnlyFolder() {
        setOverride(true);
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

  private:
    static void setOverride(bool on) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2] = {};
        if (syscall(SYS_capget, &header, data) != 0) {
            return;
        }
        const unsigned bit = 1u << CAP_DAC_OVERRIDE;
        if (on) {
            data[0].effective |= data[0].permitted & bit;
        } else {
            data[0].effective &= ~bit;
        }
        syscall(SYS_capset, &header, data);
    }

    QString m_path;
};
