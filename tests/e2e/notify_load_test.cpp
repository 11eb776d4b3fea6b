// The notification window under hostile traffic: a base system that goes
// away in the middle of a burst, messages at and just past the reader's
// buffer, numbers that start again or skip at random, one host that keeps
// dropping its connection beside one that streams, one that floods beside
// one that sends now and then, and a flood of 100,000 messages. Nothing may
// be lost, doubled, reordered or held back without being reported, and the
// memory must stay bounded.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <deque>
#include <random>
#include <string>
#include <vector>

#include "notifyserver.h"
#include "notifywin.h"

using namespace gv;

namespace {

const char Established[] = "[notify] A connection to Gridvane has been established.";
const char Lost[] = "[notify] The connection to Gridvane is lost (109).";
const char FirstNotice[] =
    "[notify] The maximum number of messages that can be displayed (1000) has been reached.";
const char SecondNotice[] = "[notify] Pruning the list (100 messages)...";
const char WarningLead[] = "[notify] WARNING Messages are lost. (Messages missing ";

/* How the stand-in base systems pace their traffic: no time bound of a
 * test, the shape of what they send. */
const DWORD StreamSliceGapMs = 150; /* a steady stream: 30 messages, then this pause */
const DWORD TrickleGapMs = 500;     /* the quiet host during the flood */
const DWORD FloodLeadPollMs = 10;   /* the flood, waiting for the pane to catch up */

std::string Text(int i)
{
    return "message " + std::to_string(i);
}

/* Sequence number of message i (from 1): 1..9999 and round again. */
int Sequence(long i)
{
    return (int)((i - 1) % 9999 + 1);
}

/* The lost-message counts the warnings in the lines report. */
std::vector<unsigned> Warnings(const std::vector<std::string> &lines)
{
    std::vector<unsigned> counts;
    const std::string lead = WarningLead;
    for (const std::string &l : lines)
        if (l.compare(0, lead.size(), lead) == 0)
            counts.push_back((unsigned)std::stoul(l.substr(lead.size())));
    return counts;
}

bool WaitForLast(const NotifyWindow &w, int host, const std::string &line, DWORD timeoutMs)
{
    return WaitUntil([&] { return LastPaneLine(w, host) == line; }, timeoutMs);
}

/* A notification window on this computer, connected to a fresh server. */
struct OneHost {
    NotifyServer server;
    NotifyWindow w;
    bool Start()
    {
        return server.Listen() && StartNotify(w, "") && server.WaitReceived(0, "ACTIVATE", 1, 10000) &&
               WaitForLine(w, 0, Established, 1, 10000);
    }
};

TEST(NotifyLoad, BaseSystemGoneInTheMiddleOfABurst)
{
    OneHost h;
    ASSERT_TRUE(h.Start()) << DescribeWindows(h.w.guard.child.pid);
    std::vector<std::string> burst;
    for (int i = 1; i <= 400; i++)
        burst.push_back(Notification(i, 'M', Text(i)));
    ASSERT_TRUE(h.server.SendAll(0, burst));
    h.server.Close(0); /* while the reader is still at the start of it */

    ASSERT_TRUE(WaitForLine(h.w, 0, Lost, 1, 15000));
    ASSERT_TRUE(h.server.WaitReceived(1, "ACTIVATE", 1, 10000)) << "no reconnection";
    ASSERT_TRUE(WaitForLine(h.w, 0, Established, 2, 5000));
    std::vector<std::string> lines = PaneLines(h.w, 0);
    // What was in the pipe is shown whole and in order, then the loss.
    std::vector<std::string> expected = {Established};
    for (int i = 1; i <= 400; i++)
        expected.push_back(Text(i));
    expected.push_back(Lost);
    expected.push_back(Established);
    EXPECT_EQ(expected, lines) << Describe(lines);
}

TEST(NotifyLoad, TheLongestMessageIsShownOneByteMoreBreaksTheConnection)
{
    OneHost h;
    ASSERT_TRUE(h.Start());
    const std::string longest = Notification(1, 'M', std::string(65567 - 7, 'x'));
    const std::string tooLong = Notification(2, 'M', std::string(65568 - 7, 'y'));
    ASSERT_EQ(65567u, longest.size());
    ASSERT_TRUE(h.server.SendAll(0, {longest, tooLong}));
    ASSERT_TRUE(h.server.WaitReceived(1, "ACTIVATE", 1, 10000)) << "no reconnection";
    ASSERT_TRUE(h.server.Send(1, Notification(7, 'M', "after")));
    ASSERT_TRUE(WaitForLast(h.w, 0, "after", 5000)) << LastPaneLine(h.w, 0).substr(0, 80);
    std::vector<std::string> lines = PaneLines(h.w, 0);
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ(longest.substr(7), lines[1]) << "cut at " << lines[1].size();
    EXPECT_EQ("[notify] Failed when reading the message pipe. (234).", lines[2]);
    EXPECT_EQ(Established, lines[3]);
    EXPECT_EQ("after", lines[4]) << "the first number after a reconnection never warns";
}

TEST(NotifyLoad, NumbersThatStartAgainOrSkipAtRandom)
{
    OneHost h;
    ASSERT_TRUE(h.Start());
    // The base system starts again on the same connection: counted forward
    // through 9999, as the numbers cannot tell a restart from a wrap.
    std::vector<std::string> run;
    for (int i = 1; i <= 50; i++)
        run.push_back(Notification(i, 'M', Text(i)));
    run.push_back(Notification(1, 'M', "again 1"));
    ASSERT_TRUE(h.server.SendAll(0, run));
    ASSERT_TRUE(WaitForLast(h.w, 0, "again 1", 5000));
    EXPECT_EQ(std::vector<unsigned>({9949}), Warnings(PaneLines(h.w, 0)));

    // Random gaps across the wrap: the warnings add up to what was skipped.
    std::mt19937 random(8);
    std::vector<std::string> skipping;
    std::vector<unsigned> skipped;
    int sequence = 9700;
    skipping.push_back(Notification(sequence, 'M', "start"));
    for (int i = 0; i < 300; i++) {
        unsigned gap = random() % 3 == 0 ? 1 + random() % 40 : 0;
        if (i == 150)
            gap = 500;
        if (gap > 0)
            skipped.push_back(gap);
        sequence = (sequence + gap) % 9999 + 1;
        skipping.push_back(Notification(sequence, 'M', "skip " + std::to_string(i)));
    }
    ASSERT_TRUE(h.server.SendAll(0, skipping));
    ASSERT_TRUE(WaitForLast(h.w, 0, "skip 299", 10000));
    std::vector<unsigned> warnings = Warnings(PaneLines(h.w, 0));
    ASSERT_FALSE(warnings.empty());
    warnings.erase(warnings.begin()); /* the restart above */
    warnings.erase(warnings.begin()); /* 1 to 9700 on the same connection */
    EXPECT_EQ(skipped, warnings);
}

/* The number of the message a pane shows last, 0 when it is no message. */
long LastMessageNumber(const NotifyWindow &w, int host)
{
    const std::string lead = "message ";
    std::string line = LastPaneLine(w, host);
    return line.compare(0, lead.size(), lead) == 0 ? std::stol(line.substr(lead.size())) : 0;
}

/* A flood's message: long, so that the pane takes longer to show it than
 * the server takes to send it. */
std::string FloodText(long i)
{
    return Text((int)i) + " " + std::string(1000, '.');
}

/* Sends to one connection from a thread of its own, without pause: it
 * stays up to MaxLead messages ahead of the pane, so the pipe never runs
 * dry and the pane can still catch up in seconds when the flood stops. */
struct Flood {
    static const long MaxLead = 500;
    NotifyServer *server = nullptr;
    const NotifyWindow *w = nullptr;
    int connection = 0;
    int pane = 0;
    long next = 0; /* number of the next message */
    volatile LONG stop = 0;
    volatile LONG failed = 0;
    HANDLE thread = NULL;

    static DWORD WINAPI Run(LPVOID parameter)
    {
        Flood *f = (Flood *)parameter;
        while (f->stop == 0) {
            /* Looked at now and then only: reading the pane is slow. */
            while (f->stop == 0 && f->next % 200 == 0 &&
                   f->next - LastMessageNumber(*f->w, f->pane) > MaxLead)
                Sleep(FloodLeadPollMs);
            if (!f->server->Send(f->connection,
                                 Notification(Sequence(f->next), 'M', FloodText(f->next)))) {
                f->failed = 1;
                break;
            }
            f->next++;
        }
        return 0;
    }
    bool Start() { return (thread = CreateThread(NULL, 0, Run, this, 0, NULL)) != NULL; }
    /* The number of the last message sent, once the thread has ended. */
    long Stop()
    {
        if (thread != NULL) {
            InterlockedExchange(&stop, 1);
            WaitForSingleObject(thread, 15000);
            CloseHandle(thread);
            thread = NULL;
        }
        return next - 1;
    }
    ~Flood() { Stop(); }
};

TEST(NotifyLoad, OneHostDropsOrTricklesWhileTheOtherStreamsOrFloods)
{
    NotifyServer server;
    ASSERT_TRUE(server.Listen());
    NotifyWindow w;
    ASSERT_TRUE(StartNotify(w, ComputerName() + " " + Lower(ComputerName())));
    ASSERT_TRUE(server.WaitConnections(2, 10000));
    for (int host = 0; host < 2; host++)
        ASSERT_TRUE(WaitForLine(w, host, Established, 1, 5000));
    // Connection 0 streams; which pane shows it is up to the order of the opens.
    ASSERT_TRUE(server.Send(0, Notification(1, 'M', Text(1))));
    int streamPane = -1;
    ASSERT_TRUE(WaitUntil([&] {
        for (int host = 0; host < 2; host++)
            if (LastPaneLine(w, host) == Text(1))
                streamPane = host;
        return streamPane != -1;
    }, 5000));
    int dropPane = 1 - streamPane;

    const int total = 900;
    const int drops = 5;
    int sent = 1;
    int dropping = 1; /* the dropping host's current connection */
    DWORD lastDrop = GetTickCount();
    while (sent < total) {
        std::vector<std::string> slice;
        for (int i = 0; i < 30 && sent < total; i++) {
            sent++;
            slice.push_back(Notification(Sequence(sent), 'M', Text(sent)));
        }
        ASSERT_TRUE(server.SendAll(0, slice));
        if (dropping <= drops && GetTickCount() - lastDrop >= 1000) {
            server.Close(dropping);
            ASSERT_TRUE(server.WaitReceived(dropping + 1, "ACTIVATE", 1, 5000))
                << "the dropped host did not come back";
            dropping++;
            lastDrop = GetTickCount();
        }
        Sleep(StreamSliceGapMs);
    }
    while (dropping <= drops) { /* in case the stream was quicker */
        server.Close(dropping);
        ASSERT_TRUE(server.WaitReceived(dropping + 1, "ACTIVATE", 1, 5000));
        dropping++;
    }
    ASSERT_TRUE(WaitForLast(w, streamPane, Text(total), 20000)) << LastPaneLine(w, streamPane);
    ASSERT_TRUE(WaitForLine(w, dropPane, Established, drops + 1, 5000));

    std::vector<std::string> expected = {Established};
    for (int i = 1; i <= total; i++)
        expected.push_back(Text(i));
    EXPECT_EQ(expected, PaneLines(w, streamPane)) << "the streaming pane lost or reordered lines";
    std::vector<std::string> dropLines = PaneLines(w, dropPane);
    EXPECT_EQ(drops, CountLines(dropLines, Lost)) << Describe(dropLines);
    EXPECT_EQ(drops + 1, CountLines(dropLines, Established)) << Describe(dropLines);

    // The streaming host floods without pause: what the other host sends
    // meanwhile is shown while the flood lasts.
    Flood flood;
    flood.server = &server;
    flood.w = &w;
    flood.pane = streamPane;
    flood.next = total + 1;
    ASSERT_TRUE(flood.Start());
    ASSERT_TRUE(WaitUntil([&] { return LastMessageNumber(w, streamPane) > total + 300; }, 20000))
        << LastPaneLine(w, streamPane);
    for (int i = 1; i <= 4; i++) {
        ASSERT_TRUE(server.Send(dropping, Notification(i, 'M', "trickle " + std::to_string(i))));
        ASSERT_TRUE(WaitForLast(w, dropPane, "trickle " + std::to_string(i), 5000))
            << "not shown while the flood reached " << LastMessageNumber(w, streamPane);
        Sleep(TrickleGapMs);
    }
    EXPECT_EQ(0, flood.failed);
    EXPECT_GT(flood.next - LastMessageNumber(w, streamPane), 1) << "the flood had paused";
    long last = flood.Stop();
    ASSERT_TRUE(WaitForLast(w, streamPane, FloodText(last), 60000)) << LastPaneLine(w, streamPane);
    std::vector<std::string> streamLines = PaneLines(w, streamPane);
    EXPECT_TRUE(Warnings(streamLines).empty());
    long previous = 0;
    for (const std::string &line : streamLines) {
        if (line.compare(0, 8, "message ") != 0)
            continue;
        long number = std::stol(line.substr(8));
        EXPECT_TRUE(previous == 0 || number == previous + 1) << previous << " then " << number;
        previous = number;
    }
    dropLines = PaneLines(w, dropPane);
    ASSERT_GE(dropLines.size(), 5u);
    EXPECT_EQ(std::vector<std::string>({Established, "trickle 1", "trickle 2", "trickle 3",
                                        "trickle 4"}),
              std::vector<std::string>(dropLines.end() - 5, dropLines.end()));
    EXPECT_EQ(0, CloseNotify(w, 10000));
}

/* The lines a pane holds after these lines were added to it one by one:
 * 1000 at most, the oldest 100 removed before the 1001st with two notices. */
std::vector<std::string> PaneAfter(const std::vector<std::string> &added)
{
    std::deque<std::string> pane;
    for (const std::string &line : added) {
        if (pane.size() == 1000) {
            pane.erase(pane.begin(), pane.begin() + 100);
            pane.push_back(FirstNotice);
            pane.push_back(SecondNotice);
        }
        pane.push_back(line);
    }
    return std::vector<std::string>(pane.begin(), pane.end());
}

SIZE_T WorkingSet(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters;
    ZeroMemory(&counters, sizeof counters);
    return K32GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.WorkingSetSize
                                                                         : 0;
}

TEST(NotifyLoad, FloodOfAHundredThousandMessages)
{
    OneHost h;
    ASSERT_TRUE(h.Start());
    const long total = 100000;
    const long warmUp = 10000;
    std::vector<std::string> added = {Established};
    std::vector<std::string> batch;
    SIZE_T afterWarmUp = 0;
    for (long i = 1; i <= total; i++) {
        batch.push_back(Notification(Sequence(i), 'M', Text((int)i)));
        added.push_back(Text((int)i));
        if (i == warmUp || i == total) {
            ASSERT_TRUE(h.server.SendAll(0, batch)) << "notify stopped reading at " << i;
            batch.clear();
            ASSERT_TRUE(WaitForLast(h.w, 0, Text((int)i), 120000))
                << "shown up to " << LastPaneLine(h.w, 0);
            if (i == warmUp)
                afterWarmUp = WorkingSet(h.w.guard.child.process);
        }
    }
    SIZE_T atEnd = WorkingSet(h.w.guard.child.process);
    std::vector<std::string> lines = PaneLines(h.w, 0);
    // 100,001 lines: full at 1000, then pruned to 903 every 98 lines.
    EXPECT_EQ(903u + (100001u - 1001u) % 98u, lines.size());
    EXPECT_EQ(PaneAfter(added), lines) << "the newest lines in order, with the pruning notices";
    EXPECT_TRUE(Warnings(lines).empty());
    // 90,000 messages later: a leak of 90 bytes a message would show.
    ASSERT_NE(0u, afterWarmUp);
    EXPECT_LT(atEnd, afterWarmUp + 8u * 1024 * 1024)
        << "working set " << afterWarmUp / 1024 << " kB after " << warmUp << " messages, "
        << atEnd / 1024 << " kB after " << total;
    EXPECT_EQ(0, CloseNotify(h.w, 10000));
}

} // namespace
