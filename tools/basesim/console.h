/*
 * console.h: the simulator's output. Whole lines with the time of day, from
 * any thread, flushed at once: the output is often a file or a pipe that a
 * script reads while the simulator runs.
 */
#ifndef GV_BASESIM_CONSOLE_H
#define GV_BASESIM_CONSOLE_H

#include <stddef.h>

void InitConsole(void);

/* One line: "hh:mm:ss.mmm " and the formatted text. */
void Say(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

/* Lines as they are (each already ended by a newline), kept together. */
void SayLines(const char *lines);

/* "hh:mm:ss", the local time. */
void ClockText(char *text, size_t size);

#endif
