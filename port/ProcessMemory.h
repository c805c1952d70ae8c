// KeepFreedMemory: tells the C library to keep memory the program frees for its own later
// use instead of handing it back to the system at once.
//
// For programs that handle many files one after another (xrayutils' batch commands): glibc
// by default returns the top of its heap on every free of a few hundred kilobytes and asks
// for it again on the next allocation, so evaluating a thousand small spectra cost more time
// in system calls and fresh pages than in the evaluations. Elsewhere it does nothing. Call
// it once, before the work starts. Never for the module: the host owns its process.
#ifndef XRAY_PORT_PROCESSMEMORY_H
#define XRAY_PORT_PROCESSMEMORY_H

namespace xray::port {

void KeepFreedMemory();

}  // namespace xray::port

#endif  // XRAY_PORT_PROCESSMEMORY_H
