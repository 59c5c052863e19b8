#include "app/uninstall_batch.h"

#include <initializer_list>

namespace {

// Appends to a fixed buffer, never past its end, and counts what did not fit.
class Text {
public:
    Text(char* out, std::size_t size) : out_(out), size_(size) {}

    Text& Add(const char* text)
    {
        while (*text) Put(*text++);
        return *this;
    }

    Text& Add(int number)
    {
        if (number >= 10) Add(number / 10);
        Put(char('0' + number % 10));
        return *this;
    }

    // The two texts joined, in double quotes, every % doubled: a path holding
    // "%TEMP%" must not become the temporary folder. Within the quotes
    // blanks, &, ^, ( and ) are plain characters, and so is ! while delayed
    // expansion is off; bytes beyond ASCII go in as they are. A quote would
    // end the quoting, a line break the line: a text that holds either (no
    // file name does) gives no batch.
    Text& Quoted(const char* text, const char* tail = "")
    {
        Put('"');
        for (const char* part : {text, tail}) {
            for (; *part; ++part) {
                if (*part == '"' || static_cast<unsigned char>(*part) < 0x20) unquotable_ = true;
                if (*part == '%') Put('%');
                Put(*part);
            }
        }
        Put('"');
        return *this;
    }

    std::size_t Finish()
    {
        if (length_ >= size_ || unquotable_) return 0;
        out_[length_] = '\0';
        return length_;
    }

private:
    void Put(char c)
    {
        if (length_ < size_) out_[length_] = c;
        ++length_;
    }

    char* out_;
    std::size_t size_, length_ = 0;
    bool unquotable_ = false;
};

// No wildcard, and in plain ASCII when asked.
bool NamesOneFile(const char* path, bool asciiOnly)
{
    if (!path || !*path) return false;
    for (; *path; ++path) {
        if (*path == '?' || *path == '*' || (asciiOnly && static_cast<unsigned char>(*path) >= 0x80)) return false;
    }
    return true;
}

}  // namespace

const char* ProgramNameForBatch(const char* shortPath, const char* exactLongPath)
{
    if (NamesOneFile(shortPath, true)) return shortPath;
    return NamesOneFile(exactLongPath, false) ? exactLongPath : nullptr;
}

std::size_t UninstallBatchText(const UninstallBatch& batch, char* out, std::size_t size)
{
    Text text(out, size);
    // A REG.EXE that refuses (a policy prevents access to registry editing
    // tools) would leave the entry behind the file: asked first, and then
    // both stay. Every REG.EXE line names the 64-bit view, where the
    // installers write the entry: the 32-bit program starts the 32-bit
    // command interpreter, whose REG.EXE would see the 32-bit one and find
    // nothing. 32-bit Windows has the one view only.
    if (batch.entryKey)
        text.Quoted(batch.systemDir, "\\REG.EXE").Add(" QUERY ").Quoted(batch.entryKey).Add(" /reg:64 >NUL 2>&1\r\nIF ERRORLEVEL 1 GOTO d\r\n");
    text.Add("SET tries=0\r\n:f\r\n");
    text.Add("DEL /F ").Quoted(batch.program).Add("\r\n");
    text.Add("IF NOT EXIST ").Quoted(batch.program).Add(" GOTO g\r\n");
    text.Add("SET /A tries+=1\r\n");
    text.Add("IF %tries% GEQ ").Add(kUninstallBatchTries).Add(" GOTO d\r\n");
    // The only pause every Windows has: the second echo comes a second after the first.
    text.Quoted(batch.systemDir, "\\PING.EXE").Add(" -n 2 127.0.0.1 >NUL\r\n");
    text.Add("GOTO f\r\n:g\r\n");
    if (batch.entryKey)
        text.Quoted(batch.systemDir, "\\REG.EXE").Add(" DELETE ").Quoted(batch.entryKey).Add(" /reg:64 /f >NUL\r\n");
    text.Add(":d\r\nDEL %0\r\n");
    return text.Finish();
}
