#!/usr/bin/env bash
# Prints the machine's Debian 12 package sources as one-line sources.list
# entries, one a line, read by apt itself (sources.list, sources.list.d/*.list
# and deb822 .sources, with whatever apt.conf changes), for a Debian root made
# by mmdebstrap: a local mirror or a proxy that the machine uses serves the
# root too. Other suites and other distributions' sources are left out. Fails,
# saying what is needed, when there is none.
set -euo pipefail
command -v apt-get >/dev/null ||
  { echo "debian-sources: no apt-get: a Debian root needs a Debian 12 machine's apt" >&2; exit 1; }
lines=$(apt-get indextargets --format '$(TARGET_OF) $(REPO_URI) $(RELEASE) $(CODENAME) $(COMPONENT)' |
  awk '$1 == "deb" && ($3 ~ /^bookworm(-|$)/ || $4 == "bookworm") {
         key = $2 " " $3
         if (!(key in seen)) { order[++n] = key; seen[key] = "" }
         if (index(" " seen[key] " ", " " $5 " ") == 0) seen[key] = seen[key] " " $5
       }
       END { for (i = 1; i <= n; i++) print "deb " order[i] seen[order[i]] }')
if [[ -z $lines ]]; then
  cat >&2 <<'MSG'
debian-sources: apt has no Debian 12 (bookworm) source configured. Add one, for
instance /etc/apt/sources.list.d/debian.sources holding
  Types: deb
  URIs: http://deb.debian.org/debian
  Suites: bookworm bookworm-updates
  Components: main
  Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
(or your local mirror's address), then run apt-get update.
MSG
  exit 1
fi
echo "$lines"
