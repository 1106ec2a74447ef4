#include "core/NumberFormat.h"
#include "core/ProgramFolder.h"
#include "tools/PriceTool.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void print(const QString& text, std::FILE* stream)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const ringtally::NumberFormat format;
    const ringtally::PriceTool tool(format);

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const QString settingsPath
        = ringtally::ProgramFolder::locate(QCoreApplication::applicationDirPath()).settingsFile();

    const ringtally::ToolRun run = tool.run(arguments, settingsPath);
    print(run.out, stdout);
    print(run.err, stderr);
    return run.exitCode;
}
