// The plug-in's side of the command channel: one sender for each command the program
// serves. A flag is sent as "y" when set and "n" when clear. Every sender holds the
// channel's mutex for its whole exchange and returns false on any failure (mutex, a request
// that does not fit, push, no peer, pop); otherwise it returns the program's reply.
//
// Request texts are comma-separated and at most 199 characters long; the program splits
// them at commas, so a path that holds a comma reaches it cut short.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/types.h"

struct StatusData;

// Sets up the plug-in's end of the channel. True.
bool setup_command_channel();

bool send_play(std::u16string_view path, bool flag);                                      // 0
bool send_record(std::u16string_view path, int format_index, bool flag);                  // 1
bool send_start_recording(std::u16string_view path, bool flag);                           // 2
bool send_start_recording_append(std::u16string_view path, bool flag);                    // 3
bool send_start_insert_recording(std::u16string_view path, LONG position, bool flag);     // 4
bool send_pause(bool flag);                                                               // 5
bool send_stop(bool flag);                                                                // 6
// 7: the program's status; show asks it to bring its main form to the front. False, with
// the buffer untouched, when the buffer is null (nothing is sent), the program replies false
// or the record cannot be read.
bool request_status(StatusData* status, bool show);
// 7 as above, but only of a program that runs: when none answers, none is started.
bool request_running_status(StatusData* status, bool show);
bool send_skip(int step, bool flag);                                                      // 8
