// Writing a file so that a failure loses nothing, without Qt: the bytes go to a temporary file beside
// the target, which replaces it only once every byte is on disk, as the window's save does.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvane::maker {

// Writes `bytes` to `path`. A regular file (or none) is replaced through a temporary file in the same
// folder, which takes the replaced file's permissions (a new file's are 0666 less the umask); a link is
// followed to the file it names; a target that exists and is neither a regular file nor a folder (a
// device, a pipe) is written in place, never replaced. On failure the target is as it was and no
// temporary file is left; the French message names `path` and says why:
// "Impossible d'enregistrer le fichier out.e65 : No such file or directory".
std::optional<std::string> WriteFileSafely(const std::string& path, std::string_view bytes);

} // namespace korvane::maker
