#include "audit/AuditLog.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QSysInfo>
#include <cerrno>
#include <cstring>

namespace mp {
namespace {

const char* const kContext = "mp::CAuditLog";

QString Tr(const char* text) {
    return QCoreApplication::translate(kContext, text);
}

QString SystemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Opens the log for appending (made if missing, its folder too); -1 with the reason.
int OpenForAppend(const QString& path, QString* reason) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        *reason = Tr("无法建立审计日志的文件夹 %1").arg(info.absolutePath());
        return -1;
    }
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        *reason = Tr("无法写入审计日志 %1: %2").arg(path, SystemError());
    }
    return fd;
}

// Whether the file ends inside a line (a write torn by a crash).
bool EndsTorn(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0) {
        return false;
    }
    file.seek(file.size() - 1);
    char last = '\n';
    file.getChar(&last);
    return last != '\n';
}

}  // namespace

QJsonObject AuditEntry::ToJson() const {
    QJsonObject o;
    o[QStringLiteral("time")] =
        QDateTime::fromMSecsSinceEpoch(TimeMs, Qt::UTC).toString(Qt::ISODateWithMs);
    o[QStringLiteral("user")] = User;
    o[QStringLiteral("host")] = Host;
    o[QStringLiteral("tag")] = Tag;
    o[QStringLiteral("line")] = Line;
    o[QStringLiteral("address")] = Address;
    o[QStringLiteral("operation")] = Operation;
    o[QStringLiteral("before")] = Before;
    o[QStringLiteral("after")] = After;
    o[QStringLiteral("outcome")] = Outcome;
    if (!Detail.isEmpty()) {
        o[QStringLiteral("detail")] = Detail;
    }
    return o;
}

std::optional<AuditEntry> AuditEntry::FromJson(const QJsonObject& o) {
    const QDateTime time =
        QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    const QString operation = o.value(QStringLiteral("operation")).toString();
    const QString outcome = o.value(QStringLiteral("outcome")).toString();
    if (!time.isValid() || operation.isEmpty() || outcome.isEmpty()) {
        return std::nullopt;
    }
    AuditEntry e;
    e.TimeMs = time.toMSecsSinceEpoch();
    e.User = o.value(QStringLiteral("user")).toString();
    e.Host = o.value(QStringLiteral("host")).toString();
    e.Tag = o.value(QStringLiteral("tag")).toString();
    e.Line = o.value(QStringLiteral("line")).toString();
    e.Address = o.value(QStringLiteral("address")).toInt();
    e.Operation = operation;
    e.Before = o.value(QStringLiteral("before")).toObject();
    e.After = o.value(QStringLiteral("after")).toObject();
    e.Outcome = outcome;
    e.Detail = o.value(QStringLiteral("detail")).toString();
    return e;
}

bool CAuditLog::CanAppend(QString* reason) const {
    const int fd = OpenForAppend(Path_, reason);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

bool CAuditLog::Append(const AuditEntry& entry, QString* reason) const {
    QByteArray line = QJsonDocument(entry.ToJson()).toJson(QJsonDocument::Compact);
    line.append('\n');
    if (EndsTorn(Path_)) {
        line.prepend('\n');  // the torn piece stays a line of its own, which readers skip
    }
    const int fd = OpenForAppend(Path_, reason);
    if (fd < 0) {
        return false;
    }
    // One write: with O_APPEND the line lands whole at the end, or (disk full) not whole,
    // which is said.
    const ssize_t written = ::write(fd, line.constData(), static_cast<size_t>(line.size()));
    const bool whole = written == line.size();
    const QString error = SystemError();
    const bool synced = whole && ::fsync(fd) == 0;
    ::close(fd);
    if (!whole || !synced) {
        *reason = Tr("无法写入审计日志 %1: %2").arg(Path_, error);
        return false;
    }
    return true;
}

QVector<AuditEntry> CAuditLog::Read(const QString& path, int* skipped) {
    QVector<AuditEntry> entries;
    int bad = 0;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            if (line.isEmpty()) {
                continue;
            }
            const QJsonDocument doc = QJsonDocument::fromJson(line);
            const std::optional<AuditEntry> entry =
                doc.isObject() ? AuditEntry::FromJson(doc.object()) : std::nullopt;
            if (entry) {
                entries << *entry;
            } else {
                ++bad;
            }
        }
    }
    if (skipped) {
        *skipped = bad;
    }
    return entries;
}

QString CAuditLog::PlantPath(const QString& plantFile) {
    if (plantFile.isEmpty()) {
        return DefaultPath();
    }
    const QFileInfo info(plantFile);
    return info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral("-audit.jsonl"));
}

QString CAuditLog::DefaultPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("audit.jsonl"));
}

QString CAuditLog::CurrentUser() {
    if (const passwd* pw = ::getpwuid(::geteuid())) {
        return QString::fromLocal8Bit(pw->pw_name);
    }
    return qEnvironmentVariable("USER");
}

QString CAuditLog::HostName() {
    return QSysInfo::machineHostName();
}

}  // namespace mp
