#pragma once
// A fresh temporary application folder and an isolated settings store for each test.

#include <QString>
#include <QTemporaryDir>

namespace rat::test {

class TestEnv {
public:
    TestEnv();  // sets app().appDir to a new temporary folder and the settings store beside it
    QString dir() const { return tmp_.path(); }
    QString path(const QString& name) const { return tmp_.filePath(name); }

private:
    QTemporaryDir tmp_;
};

// Whole bytes of a file, for "left unchanged" checks.
QByteArray fileBytes(const QString& path);

} // namespace rat::test
