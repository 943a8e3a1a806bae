// Floppies simulated in the working directory: the drive is the directory
// itself, "hd/" a hard disk with room, and disk k a directory "diskk" where a
// file goes when the disk is taken out.
#pragma once
#include <cstdint>
#include <string>

namespace vxtest {

// Free space: floppyBytes less the named file's size on the drive, and
// hardDiskBytes below "hd/".
void simulateFloppyDrive(int64_t floppyBytes, int64_t hardDiskBytes);
// Takes disk k out with the file on it.
void storeOnDisk(const std::string& name, int k);
// Puts disk k in: the file on it replaces the drive's.
void loadFromDisk(const std::string& name, int k);

} // namespace vxtest
