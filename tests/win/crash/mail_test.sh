#!/usr/bin/env bash
# End to end under Wine: a program crashes, its reporter mails the report
# through Winsock to a real SMTP server on loopback (Debian's aiosmtpd), once
# to a configured server with AUTH LOGIN and once to the mail exchanger a real
# DNS server (dnsmasq) names; Python's MIME parser takes each message apart
# and pngcheck validates the screenshot.
#   mail_test.sh <folder of crash_child.exe> <source root>
set -euo pipefail
bin=$1 root=$2
data="$root/tests/native/crash/data"
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
free_port() { /usr/bin/python3 -c "import socket; s=socket.socket(socket.AF_INET, socket.$1); s.bind(('127.0.0.1', 0)); print(s.getsockname()[1])"; }
wait_for() { # file text
  for _ in $(seq 200); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
  echo "server did not start:"; cat "$1"; return 1
}
windows_path() { echo "Z:${1//\//\\}"; }

# crash <name> <option lines...>: runs the child, which crashes and mails.
check_mail() { # inbox log
  local inbox=$1 log=$2 parsed="$1/parsed"
  for _ in $(seq 100); do [ -f "$inbox/1.eml" ] && break; sleep 0.1; done
  [ -f "$inbox/1.eml" ] || { echo "no message arrived"; return 1; }
  mkdir -p "$parsed"
  /usr/bin/python3 "$data/read_mail.py" "$inbox/1.eml" "$parsed"
  grep -qx "X-Library: VesperLog 4.6" "$parsed/headers"
  grep -qx "Subject: Plandesk error report" "$parsed/headers"
  grep -qx "From: reporter@example.test" "$parsed/headers"
  grep -qx "To: support@example.test" "$parsed/headers"
  diff <(printf 'text/plain 7bit -\napplication/octet-stream base64 %s\nimage/png base64 Screenshot.png\n' "$(basename "$log")") "$parsed/parts"
  grep -q "EAccessViolation" "$parsed/body"
  grep -q "CrashByAccessViolation" "$parsed/body"
  cmp "$parsed/$(basename "$log")" "$log"
  pngcheck -q "$parsed/Screenshot.png"
}

common=(SendMode=SMTP MailFrom=reporter@example.test MailTo=support@example.test
        "MailSubject=Plandesk error report" AttachScreenshot=1 ShowDialog=0)

echo "== configured server, AUTH LOGIN"
port=$(free_port SOCK_STREAM)
mkdir -p "$work/login"
/usr/bin/python3 "$data/smtp_server.py" "$port" "$work/login" reporter s3cret >"$work/login.log" 2>&1 & pids+=($!)
wait_for "$work/login.log" ready
"$root/scripts/wine-run" "$bin/crash_child.exe" mail "$(windows_path "$work/login.vlf")" "${common[@]}" \
  SmtpHost=127.0.0.1 "SmtpPort=$port" SmtpUserName=reporter SmtpPassword=s3cret || true
check_mail "$work/login" "$work/login.vlf"

echo "== mail exchanger from the DNS"
port=$(free_port SOCK_STREAM) dns=$(free_port SOCK_DGRAM)
mkdir -p "$work/mx"
/usr/bin/python3 "$data/smtp_server.py" "$port" "$work/mx" >"$work/mx.log" 2>&1 & pids+=($!)
dnsmasq --keep-in-foreground --log-facility=- --conf-file=/dev/null --pid-file= --no-resolv --no-hosts \
  --bind-interfaces --listen-address=127.0.0.1 "--port=$dns" --user=root \
  --mx-host=example.test,localhost,10 >"$work/dns.log" 2>&1 & pids+=($!)
wait_for "$work/mx.log" ready
wait_for "$work/dns.log" started
"$root/scripts/wine-run" "$bin/crash_child.exe" mail "$(windows_path "$work/mx.vlf")" "${common[@]}" \
  "SmtpPort=$port" "DnsServers=127.0.0.1:$dns" || true
check_mail "$work/mx" "$work/mx.vlf"
echo "mail arrived intact"
