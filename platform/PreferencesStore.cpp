#include "platform/PreferencesStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/AtomicFile.h"

namespace tavola {

namespace {

bool setError(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

}  // namespace

PreferencesStore::PreferencesStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path PreferencesStore::defaultFolder() {
  // A relative XDG_CONFIG_HOME is invalid and must be ignored.
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return std::filesystem::path(config) / "tavola";
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') {
    const passwd* entry = ::getpwuid(::getuid());
    home = entry ? entry->pw_dir : nullptr;
  }
  const std::filesystem::path base =
      home ? std::filesystem::path(home) : std::filesystem::path("/tmp");
  return base / ".config" / "tavola";
}

PreferencesStore PreferencesStore::forCurrentUser() {
  return PreferencesStore(defaultFolder());
}

bool PreferencesStore::isValidKey(std::string_view key) {
  if (key.empty() || key.size() > 64) return false;
  for (char c : key)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

std::filesystem::path PreferencesStore::pathOf(std::string_view key) const {
  return folder_ / std::string(key);
}

bool PreferencesStore::ensureFolder(std::string* error) const {
  std::error_code code;
  std::filesystem::create_directories(folder_, code);
  if (code) return setError(error, "cannot create " + folder_.string() + ": " + code.message());
  return true;
}

std::optional<std::vector<unsigned char>> PreferencesStore::readBytes(std::string_view key) const {
  if (!isValidKey(key)) return std::nullopt;
  const int fd = ::open(pathOf(key).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::vector<unsigned char> value;
  struct stat info {};
  bool good = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
              static_cast<std::size_t>(info.st_size) <= kMaxValueSize;
  if (good) {
    // Read to the end rather than trusting the size: the file is replaced, never changed
    // in place, so what this descriptor sees is one whole value.
    unsigned char chunk[4096];
    for (;;) {
      const ssize_t got = ::read(fd, chunk, sizeof chunk);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        good = false;
        break;
      }
      if (got == 0) break;
      value.insert(value.end(), chunk, chunk + got);
      if (value.size() > kMaxValueSize) {
        good = false;
        break;
      }
    }
  }
  ::close(fd);
  if (!good) return std::nullopt;
  return value;
}

std::optional<std::string> PreferencesStore::readString(std::string_view key) const {
  auto bytes = readBytes(key);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

bool PreferencesStore::writeBytes(std::string_view key, std::span<const unsigned char> value,
                                  std::string* error) {
  if (!isValidKey(key)) return setError(error, "invalid preference key");
  if (value.size() > kMaxValueSize) return setError(error, "preference value too large");
  if (!ensureFolder(error)) return false;
  return writeFileAtomically(pathOf(key), value, error);
}

bool PreferencesStore::writeString(std::string_view key, std::string_view value,
                                   std::string* error) {
  return writeBytes(
      key, std::span(reinterpret_cast<const unsigned char*>(value.data()), value.size()), error);
}

bool PreferencesStore::remove(std::string_view key, std::string* error) {
  if (!isValidKey(key)) return setError(error, "invalid preference key");
  return removeFileDurably(pathOf(key), error);
}

}  // namespace tavola
