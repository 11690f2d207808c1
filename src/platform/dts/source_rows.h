#pragma once
// How the copy task reads the rows of its source: streamed from the source connection as they
// are copied (ado::RowReader), or read whole first. It reads whole first anyway when it copies
// into the connection it reads from.

namespace dts {

// Streaming is on by default. Tests turn it off to compare both ways of reading.
void SetStreamedSourceReading(bool on);

}  // namespace dts
