// Visibility of the simulator core's internal C++ interface, shared by the
// three simulated libraries (visa64, nv9471_64, nv6842_64) through trellinsim.
#ifndef TRELLIN_SIM_EXPORT_H
#define TRELLIN_SIM_EXPORT_H

#if defined(__GNUC__)
#define TRELLIN_SIM_API __attribute__((visibility("default")))
#else
#define TRELLIN_SIM_API
#endif

#endif
