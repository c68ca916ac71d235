#pragma once
// The user's preferences: strings and byte blocks under fixed keys, one store per user
// shared by every instance of the plug-in in every host process. Each value is one file in
// the store's folder ($XDG_CONFIG_HOME/tavola, by default ~/.config/tavola), replaced
// atomically and synced on every write, so a reader in another process sees the old value
// or the new one, and a crash or a full disk never destroys the previous value.
//
// Thread contract: any thread but the audio thread (it does file I/O).

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavola {

class PreferencesStore {
 public:
  // Values larger than this are not ours and are treated as missing.
  static constexpr std::size_t kMaxValueSize = 1 << 20;

  explicit PreferencesStore(std::filesystem::path folder);
  // The store every instance shares, in the user's configuration folder.
  static PreferencesStore forCurrentUser();
  static std::filesystem::path defaultFolder();

  const std::filesystem::path& folder() const { return folder_; }

  // Keys are letters and digits only ("MemoAPreset"); anything else is refused.
  static bool isValidKey(std::string_view key);

  std::optional<std::vector<unsigned char>> readBytes(std::string_view key) const;
  // Strings are kept as the bytes they are (paths on Linux are UTF-8 already).
  std::optional<std::string> readString(std::string_view key) const;
  bool writeBytes(std::string_view key, std::span<const unsigned char> value,
                  std::string* error = nullptr);
  bool writeString(std::string_view key, std::string_view value, std::string* error = nullptr);
  // Removing a key that is not there succeeds.
  bool remove(std::string_view key, std::string* error = nullptr);

 private:
  std::filesystem::path pathOf(std::string_view key) const;
  bool ensureFolder(std::string* error) const;

  std::filesystem::path folder_;
};

}  // namespace tavola
