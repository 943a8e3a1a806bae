// What the engine keeps outside the model, in one list. Everything a
// conversion reads or changes is in its model (trace/Model.h) except these:
//
// Per thread (thread_local), so that a second thread may convert at once:
//   errLog()                  base/ErrLogger: the message stream and its log file
//   claimBulkBuffer()         base/VX550: the bulk buffer
//   typedNames(), listings()  base/Platform: names as typed, folder listings
//   column plans, unit texts  trace/DISP_M, trace/UnitTexts: the write in progress
//   measDescriptor()          trace/MeasDesc: the descriptors a read may adjust
//   RegistryScope             params/STARTUP: the catalogue being built
//
// Shared by the process, each guarded or set once:
//   the console sink          base/ErrLogger: a host's message hook (mutex)
//   pending output undos      base/SafeOutput: what a signal handler rolls back (mutex)
//   the prompt answerer       base/DISK_M: who answers a disk prompt
//   free-space, key hooks     base/Platform: replaceable by tests
//   the parameter pool        params/ACTION: storage never freed (mutex)
//   MainPAOlist()             params/STARTUP: objects built outside a catalogue
//   libState() and hooks      lib/LibFrame: the library's one model; one call at a time
//   stopSignal                archive/ArchiveMain: the signal that ends a vxarchive run
//
// vxarchive converts in forked worker processes, one file at a time each, so
// every worker has all of the above to itself.
#pragma once
