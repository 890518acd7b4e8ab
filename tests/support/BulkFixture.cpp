#include "BulkFixture.h"

#include "TestData.h"

#include <QDir>

BulkFolders::BulkFolders() {
    const QString p = programDir.path();
    TestData::write(p, "templates/if.txt", "If you want to\r\n");
    TestData::write(p, "templates/if-question.txt", "Do you want to\r\n");
    TestData::write(p, "templates/then.txt", "Take A Look:\r\n");
    TestData::write(p, "templates/snippets/affiliate-disclosure.txt", "Affiliate text");
    TestData::write(p, "templates/snippets/My Notice.txt", "Notice text");
    TestData::write(p, "templates/snippets/privacy-policy.txt", "Privacy text");
    TestData::write(p, "rwdb.txt", "big|large\r\n");
}

QString BulkFolders::program(const QString &relative) const {
    return relative.isEmpty() ? programDir.path() : programDir.filePath(relative);
}

QString BulkFolders::articles(const QString &relative) const {
    return relative.isEmpty() ? articleDir.path() : articleDir.filePath(relative);
}

QString BulkFolders::article(const QString &name, const QByteArray &bytes) const {
    return TestData::write(articleDir.path(), name, bytes);
}

QByteArray BulkFolders::output(const QString &name) const {
    return TestData::read(articleDir.filePath("rewritten_files/" + name));
}
