// xmesh_info_print.h - xmesh-info's three ways of describing a loaded model on standard output:
// indented text, one tab-separated line, or one JSON object per line. Names are escaped (see
// xmesh_escape.h). The caller checks standard output for write errors.
#pragma once

#include "platform/xfile/xfile.h"

enum class xmesh_format { text, tsv, json };

// The column names that --tsv prints first (and --json uses as keys).
void xmesh_print_tsv_header();

void xmesh_print(xmesh_format format, const char* path, const xfile_model& model);
