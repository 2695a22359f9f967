// Reading the tool's JSON back, with Qt's parser: one the tool did not write.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonParseError>

#include "cli/CliTestSupport.h"

namespace kel::test {

QJsonDocument ParseJson(const std::string& text) {
    QJsonParseError error;
    QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << " in " << text;
    return doc;
}

}  // namespace kel::test
