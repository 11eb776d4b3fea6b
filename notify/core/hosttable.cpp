/*
 * hosttable.cpp: initial values of a host entry.
 */
#include "hosttable.h"

#include <string.h>

#include "resource.h"

static const int ListBoxIds[MaxHosts] = {IDC_LIST_0, IDC_LIST_1};
static const int ComboBoxIds[MaxHosts] = {IDC_STATUS_0, IDC_STATUS_1};

void ResetHostEntry(HostEntry *entry, int index)
{
    entry->state = HostIdle;
    memset(entry->hostName, 0, sizeof entry->hostName);
    memset(entry->pipeName, 0, sizeof entry->pipeName);
    entry->pipe = NoPipe;
    entry->lastSequence = -1;
    entry->lastError = 0;
    entry->statusToggle = true;
    entry->wasConnected = false;
    entry->lineCount = 0;
    entry->paneEnabled = true;
    entry->paneExtent = 0;
    memset(entry->blockWidth, 0, sizeof entry->blockWidth);
    entry->listBoxId = ListBoxIds[index];
    entry->comboBoxId = ComboBoxIds[index];
}
