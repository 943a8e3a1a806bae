// Where the catalog lives under DEST and how it is kept: the catalog files
// (JSON Lines and CSV) rewritten whole through a temporary and a rename, and
// a journal in the run's private folder that takes each row the moment it
// is known, so that a killed run loses at most the files in progress.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "archive/CatalogRow.h"
#include "base/Status.h"

namespace vx {

struct ArchivePlaces {
    explicit ArchivePlaces(const std::string& dest);
    std::string dest;
    std::string catalogJson; // DEST/catalog.jsonl
    std::string catalogCsv;  // DEST/catalog.csv
    std::string privateDir;  // DEST/.vxarchive
    std::string journal;     // the private folder's journal.jsonl
    std::string lock;        // the private folder's lock
    std::string workDir;     // the private folder's work/, the workers' folders
};

// Writes both catalog files from the rows (in their order); 1 on failure,
// with the reason in why; the files are then as they were.
Status writeCatalog(const ArchivePlaces& places, const std::vector<const CatalogRow*>& rows,
                    std::string& why);

// The rows of the last runs by path: the catalog, then the journal's newer rows.
std::map<std::string, CatalogRow> previousRows(const ArchivePlaces& places);

// Appends each row as one line, written at once.
class CJournal {
  public:
    explicit CJournal(const std::string& path);
    ~CJournal();
    CJournal(const CJournal&) = delete;
    CJournal& operator=(const CJournal&) = delete;
    bool ok() const { return fd_ >= 0; }
    void append(const CatalogRow& row);

  private:
    int fd_ = -1;
};

// What killed runs left: the workers' folders and the catalog's temporaries.
void removeLeftovers(const ArchivePlaces& places);

} // namespace vx
