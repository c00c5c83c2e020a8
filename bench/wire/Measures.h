// The measurements. Those of the link run in this process against the simulated instrument;
// the window's and the CPU's run in a fresh process each (the child modes), so that the
// simulator's thread and earlier measurements are not counted in them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "BenchSupport.h"

namespace tavolex::bench {

// The figures a child mode prints, one "key=value" a line.
using ChildFigures = std::map<std::string, std::string>;

// In this process: readings and generic transactions at `baud`, the record download.
std::vector<Row> MeasureExchanges(int baud, int exchanges);
std::vector<Row> MeasureDownload();
// In this process: the acquisition worker's cost against a silent instrument, and its stop.
std::vector<Row> MeasureWorker();

// In this process: what publishing a reading costs the acquisition thread.
std::vector<Row> MeasurePublishing();

// Child modes; each prints its figures on standard output and returns the exit status.
int ChildLinkWait();
int ChildWindowWait(int argc, char** argv);
int ChildWindowStart(int argc, char** argv);
int ChildWindowPaintGaps(int argc, char** argv);
int ChildWindowCadence(int argc, char** argv);
int ChildWindowSilentRun(int argc, char** argv);
int ChildCliSilentLog();

}  // namespace tavolex::bench
