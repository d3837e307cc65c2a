// The process the program runs in: its standard descriptors and the signals
// that would end it in the middle of a write.
#pragma once

namespace orva {

// Called first in main, before anything opens a file. A standard descriptor
// the program was started without is opened on /dev/null (input reads
// nothing, output goes nowhere), so that no file of the program takes its
// place and receives screen text. A write that crosses the file size limit,
// or goes to a reader that has gone away, then fails as on a full disk
// instead of ending the program.
void process_setup();

}  // namespace orva
