#include "safefile.h"

#include "pathname.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <io.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace velmora {
namespace {

#ifdef _WIN32
int openForReading(const fs::path &path, Links)
{
    return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY);
}
int createExclusively(const fs::path &path, FileAccess)
{
    return ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
enum class Kind
{
    Regular,
    Pipe,
    Other
};
Kind kindOf(int fd, std::uintmax_t &size)
{
    struct _stat64 st
    {
    };
    if (::_fstat64(fd, &st) != 0)
        return Kind::Other;
    size = static_cast<std::uintmax_t>(st.st_size);
    const auto type = st.st_mode & _S_IFMT;
    return type == _S_IFREG ? Kind::Regular : type == _S_IFIFO ? Kind::Pipe : Kind::Other;
}
// Reads of a pipe wait for its writer; there are no FIFOs by name to wait for.
void waitOnPipe(int) {}
long readSome(int fd, char *to, std::size_t n)
{
    return ::_read(fd, to, static_cast<unsigned>(std::min<std::size_t>(n, 1U << 30)));
}
long writeSome(int fd, const char *from, std::size_t n)
{
    return ::_write(fd, from, static_cast<unsigned>(std::min<std::size_t>(n, 1U << 30)));
}
bool flushToDisk(int fd)
{
    return ::_commit(fd) == 0;
}
int closeFile(int fd)
{
    return ::_close(fd);
}
#else
int openForReading(const fs::path &path, Links links)
{
    // Non-blocking, so that opening a FIFO returns at once; it is then refused as no regular file.
    const int noFollow = links == Links::Refuse ? O_NOFOLLOW : 0;
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | noFollow);
}
int createExclusively(const fs::path &path, FileAccess access)
{
    // O_EXCL fails on any existing entry, a link included; the mask of the user applies to Shared.
    const mode_t mode = access == FileAccess::Private ? 0600 : 0666;
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}
enum class Kind
{
    Regular,
    Pipe,
    Other
};
Kind kindOf(int fd, std::uintmax_t &size)
{
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0)
        return Kind::Other;
    size = static_cast<std::uintmax_t>(st.st_size);
    return S_ISREG(st.st_mode) ? Kind::Regular : S_ISFIFO(st.st_mode) ? Kind::Pipe : Kind::Other;
}
// A pipe opened without blocking is read blocking from then on: its reads wait while a program
// writes to it and end at once when none does (a FIFO nobody opened reads as empty).
void waitOnPipe(int fd)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
}
long readSome(int fd, char *to, std::size_t n)
{
    return ::read(fd, to, n);
}
long writeSome(int fd, const char *from, std::size_t n)
{
    return ::write(fd, from, n);
}
bool flushToDisk(int fd)
{
    return ::fsync(fd) == 0;
}
int closeFile(int fd)
{
    return ::close(fd);
}
#endif

bool isRegular(int fd, std::uintmax_t &size)
{
    return kindOf(fd, size) == Kind::Regular;
}

// Closes the descriptor it holds when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            closeFile(fd_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and tells whether the close succeeded (a late write error shows here).
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return closeFile(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view contents)
{
    while (!contents.empty()) {
        const long n = writeSome(fd, contents.data(), contents.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        contents.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string randomSuffix()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device device;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix(8, ' ');
    for (char &c : suffix)
        c = kLetters[pick(device)];
    return suffix;
}

// Reads the descriptor to its end or the limit, whatever its size said (a file that grows meanwhile
// is read whole); false on a read error.
bool readToEnd(int fd, std::string &buffer, std::uintmax_t sizeHint, std::size_t limit)
{
    buffer.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(sizeHint, limit)) +
                  (sizeHint < limit ? 1 : 0));
    std::size_t filled = 0;
    for (;;) {
        if (filled == limit)
            break;
        if (filled == buffer.size())
            buffer.resize(std::min(std::max<std::size_t>(buffer.size() * 2, 4096), limit));
        const long n = readSome(fd, buffer.data() + filled, buffer.size() - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            buffer.clear();
            return false;
        }
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    buffer.resize(filled);
    return true;
}

// Why a path could not be opened for reading: nothing there, something that is no file (Windows
// refuses to open a folder at all), or a file that cannot be read.
FileTrouble openTrouble(const fs::path &path)
{
    const int err = errno;
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (err == ENOENT || err == ENOTDIR || status.type() == fs::file_type::not_found)
        return FileTrouble::Missing;
    return fs::exists(status) && !fs::is_regular_file(status) ? FileTrouble::NotAFile
                                                              : FileTrouble::Unreadable;
}

} // namespace

FileTrouble fileTroubleOf(const fs::path &path, Links links)
{
    const Descriptor file(openForReading(path, links));
    if (!file.valid())
        return openTrouble(path);
    std::uintmax_t size = 0;
    if (!isRegular(file.get(), size))
        return FileTrouble::NotAFile;
    if (size > kLargestTextFile)
        return FileTrouble::TooLarge;
    constexpr std::size_t kFirstBytes = 4096;
    std::string head;
    if (!readToEnd(file.get(), head, kFirstBytes, kFirstBytes))
        return FileTrouble::Unreadable;
    return head.find('\0') == std::string::npos ? FileTrouble::None : FileTrouble::NotText;
}

std::string troubleWords(FileTrouble trouble)
{
    switch (trouble) {
    case FileTrouble::None:
        return {};
    case FileTrouble::Missing:
        return "was not found";
    case FileTrouble::NotAFile:
        return "is not a regular file";
    case FileTrouble::TooLarge:
        return "is larger than " + std::to_string(kLargestTextFile >> 20) +
               " MiB, far larger than any text the program reads";
    case FileTrouble::NotText:
        return "is not a text file: it holds NUL bytes";
    case FileTrouble::Unreadable:
        break;
    }
    return "could not be read";
}

bool readRegularFileInto(const fs::path &path, std::string &buffer, std::size_t limit, Links links)
{
    buffer.clear();
    const Descriptor file(openForReading(path, links));
    std::uintmax_t size = 0;
    if (!file.valid() || !isRegular(file.get(), size))
        return false;
    if (limit == std::string::npos && size > kLargestTextFile)
        return false;
    return readToEnd(file.get(), buffer, size, limit);
}

FileTrouble readInputInto(const fs::path &path, std::string &buffer, std::uintmax_t limit)
{
    buffer.clear();
    const Descriptor file(openForReading(path, Links::Follow));
    if (!file.valid())
        return openTrouble(path);
    std::uintmax_t size = 0;
    const Kind kind = kindOf(file.get(), size);
    if (kind == Kind::Other)
        return FileTrouble::NotAFile;
    if (kind == Kind::Regular && size > limit)
        return FileTrouble::TooLarge;
    if (kind == Kind::Pipe)
        waitOnPipe(file.get());
    // One byte past the limit tells an input that holds more.
    const std::size_t most =
        static_cast<std::size_t>(std::min<std::uintmax_t>(limit, std::string::npos - 1)) + 1;
    if (!readToEnd(file.get(), buffer, kind == Kind::Regular ? size : 0, most))
        return FileTrouble::Unreadable;
    if (buffer.size() > limit) {
        buffer.clear();
        return FileTrouble::TooLarge;
    }
    return FileTrouble::None;
}

std::optional<std::string> readRegularFile(const fs::path &path, Links links)
{
    std::string data;
    if (!readRegularFileInto(path, data, std::string::npos, links))
        return std::nullopt;
    return data;
}

std::optional<MappedFile> MappedFile::open(const fs::path &path, [[maybe_unused]] Use use, Links links)
{
    MappedFile file;
#ifndef _WIN32
    const Descriptor fd(openForReading(path, links));
    std::uintmax_t size = 0;
    if (!fd.valid() || !isRegular(fd.get(), size) || size > kLargestTextFile)
        return std::nullopt;
    if (size == 0)
        return file;
#ifdef MAP_POPULATE
    // A file read whole has its page table filled in one call instead of page by page.
    const int flags = MAP_PRIVATE | (use == Use::Whole ? MAP_POPULATE : 0);
#else
    const int flags = MAP_PRIVATE;
#endif
    void *at = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, flags, fd.get(), 0);
    if (at != MAP_FAILED) {
        file.mapping_ = at;
        file.text_ = std::string_view(static_cast<const char *>(at), static_cast<std::size_t>(size));
        return file;
    }
#endif
    if (!readRegularFileInto(path, file.copy_, std::string::npos, links))
        return std::nullopt;
    file.text_ = file.copy_;
    return file;
}

MappedFile::MappedFile(MappedFile &&other) noexcept
{
    *this = std::move(other);
}

MappedFile &MappedFile::operator=(MappedFile &&other) noexcept
{
    if (this != &other) {
        release();
        mapping_ = std::exchange(other.mapping_, nullptr);
        copy_ = std::move(other.copy_);
        text_ = mapping_ ? std::exchange(other.text_, {}) : std::string_view(copy_);
        other.text_ = {};
    }
    return *this;
}

MappedFile::~MappedFile()
{
    release();
}

void MappedFile::release()
{
#ifndef _WIN32
    if (mapping_)
        ::munmap(mapping_, text_.size());
#endif
    mapping_ = nullptr;
    text_ = {};
}

std::optional<fs::path> writeUniqueFile(const fs::path &folder, std::string_view prefix,
                                        std::string_view contents, FileAccess access)
{
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const fs::path path = folder / pathFromUtf8(std::string(prefix) + randomSuffix());
        Descriptor file(createExclusively(path, access));
        if (!file.valid()) {
            if (errno == EEXIST)
                continue;
            return std::nullopt;
        }
        const bool written = writeAll(file.get(), contents) && flushToDisk(file.get());
        if (file.close() && written)
            return path;
        std::error_code ec;
        fs::remove(path, ec);
        return std::nullopt;
    }
    return std::nullopt;
}

bool writeFileReplacing(const fs::path &path, std::string_view contents, FileAccess access)
{
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    // The temporary file is named after its target: "." + the target's name + "." + a random suffix.
    std::string prefix = utf8NameOf(path);
    prefix.insert(0, 1, '.');
    prefix.push_back('.');
    const auto temp = writeUniqueFile(folder, prefix, contents, access);
    if (!temp)
        return false;
    std::error_code ec;
    fs::rename(*temp, path, ec);
    if (ec) {
        fs::remove(*temp, ec);
        return false;
    }
    return true;
}

namespace {

// The target of a temporary file's name: "." + the target + "." + the eight letters or digits of
// randomSuffix; "" for any other name.
std::string_view temporaryTarget(std::string_view name)
{
    constexpr std::size_t kSuffix = 8;
    if (name.size() < kSuffix + 3 || name.front() != '.' || name[name.size() - kSuffix - 1] != '.')
        return {};
    const std::string_view suffix = name.substr(name.size() - kSuffix);
    if (!std::all_of(suffix.begin(), suffix.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }))
        return {};
    return name.substr(1, name.size() - kSuffix - 2);
}

} // namespace

std::size_t removeStaleTemporaryFiles(const fs::path &folder, std::chrono::seconds olderThan,
                                      const std::function<bool(std::string_view target)> &isOwnFile)
{
    std::size_t removed = 0;
    const auto now = fs::file_time_type::clock::now();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        const std::string name = utf8NameOf(it->path());
        const std::string_view target = temporaryTarget(name);
        if (target.empty() || !isOwnFile(target) || !fs::is_regular_file(it->symlink_status(fileEc)))
            continue;
        const auto written = it->last_write_time(fileEc);
        if (!fileEc && now - written > olderThan && fs::remove(it->path(), fileEc))
            ++removed;
    }
    return removed;
}

std::filesystem::path keepCopyAside(const std::filesystem::path &file, std::string_view contents)
{
    const std::string stem = utf8Of(file.stem());
    const std::string extension = utf8Of(file.extension());
    for (int n = 1; n < 10000; ++n) {
        const auto aside =
            file.parent_path() / pathFromUtf8(stem + "-unread-" + std::to_string(n) += extension);
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::symlink_status(aside, ec)))
            continue;
        return writeFileReplacing(aside, contents) ? aside : std::filesystem::path();
    }
    return {};
}

} // namespace velmora
