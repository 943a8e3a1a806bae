// The netCDF file through libnetcdf; without it every file fails to be made.
#include "netcdf/NcFile.h"

#include <algorithm>

#include "base/ErrLogger.h"
#include "base/Messages.h"

#ifdef VX_HAVE_NETCDF
#include <netcdf.h>
#endif

namespace vx {

#ifdef VX_HAVE_NETCDF

namespace {

nc_type ncType(CNcFile::Type type) {
    return type == CNcFile::eInt ? NC_INT : type == CNcFile::eFloat ? NC_FLOAT : NC_DOUBLE;
}

} // namespace

bool CNcFile::builtIn() {
    return true;
}

CNcFile::~CNcFile() {
    if (ncid_ >= 0) nc_abort(ncid_);
}

bool CNcFile::check(int result) {
    if (result != NC_NOERR && error_ == 0) error_ = result;
    return error_ == 0;
}

void CNcFile::create(const std::string& path) {
    if (error_ == 0 && !check(nc_create(path.c_str(), NC_NETCDF4 | NC_CLOBBER, &ncid_))) ncid_ = -1;
}

int CNcFile::dimension(const char* name, size_t length) {
    int id = -1;
    if (error_ == 0 && check(nc_def_dim(ncid_, name, length, &id))) {
        if (lengths_.size() <= size_t(id)) lengths_.resize(id + 1);
        lengths_[id] = length;
    }
    return id;
}

int CNcFile::variable(const char* name, Type type, std::initializer_list<int> dims, bool compress) {
    int id = -1;
    std::vector<int> ids(dims);
    if (error_ != 0 ||
        !check(nc_def_var(ncid_, name, ncType(type), int(ids.size()), ids.data(), &id)))
        return -1;
    size_t total = 1;
    for (int d : ids)
        total *= lengths_[d];
    if (!compress || total <= kChunkValues / 4) return id;
    // Chunks of about kChunkValues values: whole rows of the fastest
    // dimension, as many of them as fit.
    std::vector<size_t> chunks(ids.size(), 1);
    const size_t last = std::max<size_t>(lengths_[ids.back()], 1);
    chunks.back() = std::min(last, kChunkValues);
    if (ids.size() == 2) chunks[0] = std::clamp<size_t>(kChunkValues / last, 1, lengths_[ids[0]]);
    check(nc_def_var_chunking(ncid_, id, NC_CHUNKED, chunks.data()));
    check(nc_def_var_deflate(ncid_, id, 1, 1, kDeflateLevel));
    return id;
}

void CNcFile::text(int var, const char* name, const std::string& value) {
    if (error_ == 0) check(nc_put_att_text(ncid_, var, name, value.size(), value.c_str()));
}

void CNcFile::number(int var, const char* name, double value) {
    if (error_ == 0) check(nc_put_att_double(ncid_, var, name, NC_DOUBLE, 1, &value));
}

void CNcFile::integer(int var, const char* name, int32_t value) {
    if (error_ == 0) check(nc_put_att_int(ncid_, var, name, NC_INT, 1, &value));
}

void CNcFile::endDefinitions() {
    if (error_ == 0) check(nc_enddef(ncid_));
}

void CNcFile::put(int var, size_t start, const std::vector<float>& values) {
    size_t count = values.size();
    if (error_ == 0) check(nc_put_vara_float(ncid_, var, &start, &count, values.data()));
}

void CNcFile::put(int var, size_t start, const std::vector<double>& values) {
    size_t count = values.size();
    if (error_ == 0) check(nc_put_vara_double(ncid_, var, &start, &count, values.data()));
}

void CNcFile::put(int var, size_t start, const std::vector<int32_t>& values) {
    size_t count = values.size();
    if (error_ == 0) check(nc_put_vara_int(ncid_, var, &start, &count, values.data()));
}

void CNcFile::putRow(int var, size_t row, const std::vector<float>& values) {
    const size_t start[2] = {row, 0};
    const size_t count[2] = {1, values.size()};
    if (error_ == 0) check(nc_put_vara_float(ncid_, var, start, count, values.data()));
}

Status CNcFile::close() {
    if (ncid_ >= 0) {
        check(nc_close(ncid_));
        ncid_ = -1;
    }
    if (error_ == 0) return kStatusOk;
    errLog() << msg::eNetcdfError << nc_strerror(error_) << endLine;
    return kStatusFailed;
}

#else // no libnetcdf: the writers ask builtIn() first and refuse.

bool CNcFile::builtIn() {
    return false;
}
CNcFile::~CNcFile() = default;
bool CNcFile::check(int) {
    return false;
}
void CNcFile::create(const std::string&) {
    error_ = 1;
}
int CNcFile::dimension(const char*, size_t) {
    return -1;
}
int CNcFile::variable(const char*, Type, std::initializer_list<int>, bool) {
    return -1;
}
void CNcFile::text(int, const char*, const std::string&) {}
void CNcFile::number(int, const char*, double) {}
void CNcFile::integer(int, const char*, int32_t) {}
void CNcFile::endDefinitions() {}
void CNcFile::put(int, size_t, const std::vector<float>&) {}
void CNcFile::put(int, size_t, const std::vector<double>&) {}
void CNcFile::put(int, size_t, const std::vector<int32_t>&) {}
void CNcFile::putRow(int, size_t, const std::vector<float>&) {}
Status CNcFile::close() {
    errLog() << msg::eNetcdfNotBuilt << endLine;
    return kStatusFailed;
}

#endif

} // namespace vx
