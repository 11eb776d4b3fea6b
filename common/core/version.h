/*
 * version.h: the release of the operator tools: the version resources of
 * both programs and scripts/package read it. Raise it for each release.
 */
#ifndef GV_COMMON_VERSION_H
#define GV_COMMON_VERSION_H

#define GV_VERSION_MAJOR 1
#define GV_VERSION_MINOR 0
#define GV_VERSION_PATCH 0
#define GV_VERSION_TEXT "1.0.0"
#define GV_PRODUCT_NAME "Gridvane operator tools"

#endif
