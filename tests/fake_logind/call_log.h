#pragma once

#include <QFile>
#include <QString>

namespace zeravan::test {

// One line per call, flushed at once so a reader sees it before the reply arrives.
class CallLog {
public:
    explicit CallLog(const QString& path);

    bool isOpen() const { return file_.isOpen(); }
    void write(const QString& line);

private:
    QFile file_;
};

}  // namespace zeravan::test
