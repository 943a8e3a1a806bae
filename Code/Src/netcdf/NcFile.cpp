// The netCDF file through libnetcdf; without it every file fails to be made.
// The library (with HDF5 beneath it) is loaded when the first file is made,
// so a run that writes no netCDF does not pay for loading it.
#include "netcdf/NcFile.h"

#include <algorithm>
#include <dlfcn.h>

#include "base/ErrLogger.h"
#include "base/Messages.h"

#ifdef VX_HAVE_NETCDF
#include <netcdf.h>
#endif

namespace vx {

#ifdef VX_HAVE_NETCDF

namespace {

// The functions of libnetcdf this file uses, resolved once from the library
// named when the build found it; null when it cannot be loaded (the reason
// is kept for the message).
struct NcApi {
    decltype(&nc_abort) abort;
    decltype(&nc_create) create;
    decltype(&nc_def_dim) def_dim;
    decltype(&nc_def_var) def_var;
    decltype(&nc_def_var_chunking) def_var_chunking;
    decltype(&nc_def_var_deflate) def_var_deflate;
    decltype(&nc_put_att_text) put_att_text;
    decltype(&nc_put_att_double) put_att_double;
    decltype(&nc_put_att_int) put_att_int;
    decltype(&nc_enddef) enddef;
    decltype(&nc_put_vara_float) put_vara_float;
    decltype(&nc_put_vara_double) put_vara_double;
    decltype(&nc_put_vara_int) put_vara_int;
    decltype(&nc_close) close;
    decltype(&nc_strerror) strerror;
};

std::string& loadFailure() {
    static std::string reason;
    return reason;
}

const NcApi* loadApi() {
    void* lib = dlopen(VX_NETCDF_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        loadFailure() = dlerror();
        return nullptr;
    }
    static NcApi api;
    bool all = true;
    auto resolve = [&](auto& fn, const char* name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
        all = all && fn;
    };
    resolve(api.abort, "nc_abort");
    resolve(api.create, "nc_create");
    resolve(api.def_dim, "nc_def_dim");
    resolve(api.def_var, "nc_def_var");
    resolve(api.def_var_chunking, "nc_def_var_chunking");
    resolve(api.def_var_deflate, "nc_def_var_deflate");
    resolve(api.put_att_text, "nc_put_att_text");
    resolve(api.put_att_double, "nc_put_att_double");
    resolve(api.put_att_int, "nc_put_att_int");
    resolve(api.enddef, "nc_enddef");
    resolve(api.put_vara_float, "nc_put_vara_float");
    resolve(api.put_vara_double, "nc_put_vara_double");
    resolve(api.put_vara_int, "nc_put_vara_int");
    resolve(api.close, "nc_close");
    resolve(api.strerror, "nc_strerror");
    if (!all) loadFailure() = std::string("a function is missing from ") + VX_NETCDF_SONAME;
    return all ? &api : nullptr;
}

const NcApi* ncApi() {
    static const NcApi* const api = loadApi();
    return api;
}

nc_type ncType(CNcFile::Type type) {
    return type == CNcFile::eInt ? NC_INT : type == CNcFile::eFloat ? NC_FLOAT : NC_DOUBLE;
}

} // namespace

bool CNcFile::builtIn() {
    return true;
}

CNcFile::~CNcFile() {
    if (ncid_ >= 0) ncApi()->abort(ncid_);
}

bool CNcFile::check(int result) {
    if (result != NC_NOERR && error_ == 0) error_ = result;
    return error_ == 0;
}

void CNcFile::create(const std::string& path) {
    if (error_ != 0) return;
    if (!ncApi()) {
        errLog() << msg::eNetcdfNotLoaded << loadFailure() << endLine;
        error_ = kNotLoaded;
        return;
    }
    if (!check(ncApi()->create(path.c_str(), NC_NETCDF4 | NC_CLOBBER, &ncid_))) ncid_ = -1;
}

int CNcFile::dimension(const char* name, size_t length) {
    int id = -1;
    if (error_ == 0 && check(ncApi()->def_dim(ncid_, name, length, &id))) {
        if (lengths_.size() <= size_t(id)) lengths_.resize(id + 1);
        lengths_[id] = length;
    }
    return id;
}

int CNcFile::variable(const char* name, Type type, std::initializer_list<int> dims, bool compress) {
    int id = -1;
    std::vector<int> ids(dims);
    if (error_ != 0 ||
        !check(ncApi()->def_var(ncid_, name, ncType(type), int(ids.size()), ids.data(), &id)))
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
    check(ncApi()->def_var_chunking(ncid_, id, NC_CHUNKED, chunks.data()));
    check(ncApi()->def_var_deflate(ncid_, id, 1, 1, kDeflateLevel));
    return id;
}

void CNcFile::text(int var, const char* name, const std::string& value) {
    if (error_ == 0) check(ncApi()->put_att_text(ncid_, var, name, value.size(), value.c_str()));
}

void CNcFile::number(int var, const char* name, double value) {
    if (error_ == 0) check(ncApi()->put_att_double(ncid_, var, name, NC_DOUBLE, 1, &value));
}

void CNcFile::integer(int var, const char* name, int32_t value) {
    if (error_ == 0) check(ncApi()->put_att_int(ncid_, var, name, NC_INT, 1, &value));
}

void CNcFile::endDefinitions() {
    if (error_ == 0) check(ncApi()->enddef(ncid_));
}

void CNcFile::put(int var, size_t start, const std::vector<float>& values) {
    size_t count = values.size();
    if (error_ == 0) check(ncApi()->put_vara_float(ncid_, var, &start, &count, values.data()));
}

void CNcFile::put(int var, size_t start, const std::vector<double>& values) {
    size_t count = values.size();
    if (error_ == 0) check(ncApi()->put_vara_double(ncid_, var, &start, &count, values.data()));
}

void CNcFile::put(int var, size_t start, const std::vector<int32_t>& values) {
    size_t count = values.size();
    if (error_ == 0) check(ncApi()->put_vara_int(ncid_, var, &start, &count, values.data()));
}

void CNcFile::putRow(int var, size_t row, const std::vector<float>& values) {
    const size_t start[2] = {row, 0};
    const size_t count[2] = {1, values.size()};
    if (error_ == 0) check(ncApi()->put_vara_float(ncid_, var, start, count, values.data()));
}

Status CNcFile::close() {
    if (ncid_ >= 0) {
        check(ncApi()->close(ncid_));
        ncid_ = -1;
    }
    if (error_ == 0) return kStatusOk;
    if (error_ != kNotLoaded) errLog() << msg::eNetcdfError << ncApi()->strerror(error_) << endLine;
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
