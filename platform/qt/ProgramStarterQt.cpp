// Starting a program detached, through Qt, on every platform.
#include "platform/ProgramStarter.h"

#include "common/FileSystem.h"
#include "common/qt/QtText.h"

#include <QProcess>
#include <QStringList>

namespace quarto {

namespace {

bool IsSeparator(char c) {
    return c == '/' || (PathSeparator == '\\' && c == '\\');
}

// The folder program is in, made absolute; a root keeps its separator ("/", "C:\"). Empty for
// an empty program.
std::string FolderOf(const std::string& program) {
    if (program.empty())
        return {};
    const std::string path = FileSystem().AbsolutePath(program);
    std::size_t at = path.size();
    while (at > 0 && !IsSeparator(path[at - 1]))
        --at;
    if (at == 0)
        return path;
    std::string folder = path.substr(0, at - 1);
    if (folder.empty() || (PathSeparator == '\\' && folder.size() == 2 && folder[1] == ':'))
        folder = path.substr(0, at);
    return folder;
}

class TDetachedStarter : public TProgramStarter {
public:
    bool Start(const std::string& program, const std::vector<std::string>& arguments) override {
        QStringList list;
        for (const std::string& a : arguments)
            list << FromUtf8(a);
        return QProcess::startDetached(FromUtf8(program), list, FromUtf8(FolderOf(program)));
    }
};

} // namespace

std::unique_ptr<TProgramStarter> MakeProgramStarter() {
    return std::make_unique<TDetachedStarter>();
}

} // namespace quarto
