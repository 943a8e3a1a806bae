// Temporary directories for tests, made under $TMPDIR (or /tmp) and removed
// with their contents at the end of their scope, whether the test passed or not.
#pragma once
#include <string>

namespace vxtest {

// A new empty directory "<base>/<prefix>-XXXXXX"; base "" means $TMPDIR, or
// /tmp when it is unset or empty. Throws std::runtime_error naming the
// pattern and the reason when the directory cannot be made.
std::string makeTempDirectory(const std::string& prefix, const std::string& base = "");

// A temporary directory that is removed with everything in it when it goes.
class ScratchDir {
  public:
    explicit ScratchDir(const std::string& prefix, const std::string& base = "");
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// A temporary working directory: the current directory while it lives; the
// previous one is restored at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return scratch_.path(); }
    // Writes a file relative to the temporary directory.
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

  private:
    std::string previous_;
    ScratchDir scratch_;
};

} // namespace vxtest
