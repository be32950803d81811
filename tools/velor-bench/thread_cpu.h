#pragma once
// CPU seconds of this process's threads, added up by thread name, so that a
// run can say which thread spent what (the decoders' slice threads and other
// unnamed threads share the process's name).

#include <map>
#include <string>

using TThreadCpu = std::map<std::string, double>;

TThreadCpu SampleThreadCpu();
// What each name spent between two samples; threads that ended in between
// are missing from the later sample and count from zero in it.
TThreadCpu ThreadCpuSince(const TThreadCpu& before, const TThreadCpu& after);
