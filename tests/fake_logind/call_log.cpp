#include "tests/fake_logind/call_log.h"

namespace zeravan::test {

CallLog::CallLog(const QString& path) : file_(path) {
    file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

void CallLog::write(const QString& line) {
    file_.write(line.toUtf8() + '\n');
    file_.flush();
}

}  // namespace zeravan::test
