// A temporary working directory for a test; the previous directory is restored
// and the temporary one removed at the end.
#pragma once
#include <string>

namespace vxtest {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // Writes a file relative to the temporary directory.
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

  private:
    std::string path_;
    std::string previous_;
};

} // namespace vxtest
