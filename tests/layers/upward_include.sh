#!/usr/bin/env bash
# scripts/check-layers on a small tree under the real layer table: cards including the engine
# (upward) and the server including the client's net (sideways) fail, each named by file and
# line; includes the table allows are not named.
#   upward_include.sh <source tree>
set -euo pipefail
source_tree=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/docs" "$tree/cards" "$tree/wire" "$tree/engine" "$tree/net" "$tree/server/net"
cp "$source_tree/docs/ARCHITECTURE.md" "$tree/docs/"
printf '#pragma once\n' >"$tree/cards/Card.h"
printf '#pragma once\n' >"$tree/engine/Node.h"
printf '#pragma once\n' >"$tree/net/Link.h"
printf '#pragma once\n#include "cards/Card.h"\n' >"$tree/wire/Shared.h"
printf '#pragma once\n\n#include "engine/Node.h"\n' >"$tree/cards/Sprite.h"
printf '#include "server/net/Session.h"\n#include "wire/Shared.h"\n#include "net/Link.h"\n' \
  >"$tree/server/net/Session.cpp"
printf '#pragma once\n' >"$tree/server/net/Session.h"

status=0
output=$("$source_tree/scripts/check-layers" "$tree" 2>&1) || status=$?
fault() { echo "upward_include: $1"; echo "check-layers said:"; echo "$output"; exit 1; }
[ "$status" = 1 ] || fault "expected exit status 1, got $status"
grep -q '^cards/Sprite.h:3: includes "engine/Node.h": layer cards may not include layer engine' \
  <<<"$output" || fault "the upward include is not named"
grep -q '^server/net/Session.cpp:3: includes "net/Link.h": layer server may not include layer net' \
  <<<"$output" || fault "the sideways include is not named"
! grep -q '^wire/\|^server/net/Session.cpp:[12]:' <<<"$output" || fault "an allowed include is named"
