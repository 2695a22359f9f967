// Prints, for each file named, the MIME type the desktop's shared database
// gives it by name and content, and by content alone:
// "FILE<TAB>TYPE-BY-NAME<TAB>TYPE-BY-CONTENT".
#include <QMimeDatabase>
#include <QString>
#include <iostream>

int main(int argc, char** argv) {
    QMimeDatabase database;
    for (int i = 1; i < argc; ++i) {
        const QString file = QString::fromLocal8Bit(argv[i]);
        std::cout << argv[i] << '\t' << database.mimeTypeForFile(file).name().toStdString() << '\t'
                  << database.mimeTypeForFile(file, QMimeDatabase::MatchContent).name().toStdString() << '\n';
    }
    return 0;
}
