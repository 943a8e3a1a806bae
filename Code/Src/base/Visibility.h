// The symbols that libvxcore.so exports: everything else in the engine is
// compiled with hidden visibility.
#pragma once

#define VX_EXPORT __attribute__((visibility("default")))
