#!/usr/bin/python3
"""The markograph_fleet role under ansible-playbook, against virtual printers on
127.0.0.1: two shops (inventory hosts, connection local), each looping over its
printers. Ansible runs self-contained: its home, temporary folders, collections
and configuration all lie in a temporary folder.

  ansible_fleet_test.py BIN_DIR SAMPLES_DIR CONTRIB_DIR
"""
import hashlib
import json
import os
import select
import shutil
import socket
import subprocess
import sys
import tempfile
import time

BIN, SAMPLES, CONTRIB = sys.argv[1:4]
HERE = os.path.dirname(os.path.abspath(__file__))
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print('FAIL: ' + what, flush=True)


class VirtualPrinter:
    def __init__(self, work, name, kind):
        self.out = os.path.join(work, name)
        self.process = subprocess.Popen(
            [os.path.join(BIN, 'markograph-sim'), '--kind', kind, '--listen', '127.0.0.1:0', '--no-state',
             '--out', self.out, '--quiet'], stdout=subprocess.PIPE, text=True)
        ready, _, _ = select.select([self.process.stdout], [], [], 20)
        line = self.process.stdout.readline() if ready else ''
        if not line.startswith('listening on 127.0.0.1:'):
            raise SystemExit('FAIL: markograph-sim --kind %s did not start: %r' % (kind, line))
        self.address = line.split()[-1]

    def stored(self):
        """The stored images as the printer's index lists them, with the time each was stored."""
        try:
            with open(os.path.join(self.out, 'index.json')) as stream:
                return json.load(stream)['stored']
        except (OSError, ValueError, KeyError):
            return []

    def wait_for_images(self, count):
        deadline = time.monotonic() + 20  # a bound on the wait, not a measured duration
        while len(self.stored()) != count and time.monotonic() < deadline:
            time.sleep(0.05)
        return self.stored()

    def stop(self):
        self.process.terminate()
        self.process.wait(10)


def free_port():
    """A port on 127.0.0.1 that nothing listens on: the printer that is not there."""
    with socket.socket() as probe:
        probe.bind(('127.0.0.1', 0))
        return probe.getsockname()[1]


def digest_tree(folder):
    files = {}
    for root, _, names in os.walk(folder):
        for name in names:
            with open(os.path.join(root, name), 'rb') as stream:
                files[os.path.relpath(os.path.join(root, name), folder)] = hashlib.sha256(stream.read()).hexdigest()
    return files


def main():
    if not os.access('/usr/bin/ansible-playbook', os.X_OK):
        raise SystemExit('FAIL: /usr/bin/ansible-playbook is missing (scripts/install-deps.sh installs ansible-core)')
    work = tempfile.mkdtemp(prefix='markograph-ansible-')
    printers = {}
    try:
        printers = {'dot': VirtualPrinter(work, 'dot', 'dot'), 'two': VirtualPrinter(work, 'two', 'two-color'),
                    'mono': VirtualPrinter(work, 'mono', 'mono')}
        run_journey(work, printers)
    finally:
        for printer in printers.values():
            printer.stop()
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        raise SystemExit('%d check(s) failed' % len(failures))
    print('ansible fleet: all checks passed')


def run_journey(work, printers):
    logos = os.path.join(work, 'logos')
    os.makedirs(logos)
    badge = shutil.copy(os.path.join(SAMPLES, 'mono-badge.bmp'), logos)
    red_black = shutil.copy(os.path.join(SAMPLES, 'red-black.bmp'), logos)
    nv_inf = shutil.copy(os.path.join(SAMPLES, 'NV.inf'), work)
    records = os.path.join(work, 'records')
    missing = '127.0.0.1:%d' % free_port()
    local = {'ansible_connection': 'local', 'ansible_python_interpreter': '/usr/bin/python3'}
    inventory = {'shops': {
        'vars': dict(local, markograph_cli=os.path.join(BIN, 'markograph-cli'), markograph_nv_inf=nv_inf,
                     markograph_state_dir=records, markograph_logos=[badge]),
        'hosts': {
            'shop-a': {'markograph_printers': [
                {'printer': printers['dot'].address, 'model': 'DX-400'},
                {'printer': printers['two'].address, 'model': 'TX-200', 'logos': [red_black],
                 'addresses': ['A1']}]},
            'shop-b': {'markograph_printers': [
                {'printer': printers['mono'].address, 'model': 'QX-58M'},
                {'printer': missing, 'model': 'DX-400'}]}}}}
    inventory_path = os.path.join(work, 'inventory.json')
    with open(inventory_path, 'w') as stream:
        json.dump(inventory, stream)
    reachable = [printers['dot'].address, printers['two'].address, printers['mono'].address]

    def playbook(*extra):
        return run_playbook(work, inventory_path, list(extra))

    # First run: every printer there is changed; the one that is not fails alone.
    rc, items = playbook()
    check(rc == 2, 'the first run ends with status 2 (one printer failed), not %d' % rc)
    check(all(items[p]['status'] == 'ok' and items[p]['result']['changed'] for p in reachable),
          'the first run changes every printer that is there: %s' % summary(items))
    check(items[missing]['status'] == 'failed' and missing in items[missing]['result']['msg'],
          'the missing printer fails its own item, naming itself: %s' % items[missing])
    failed_cli = items[missing]['result'].get('cli') or [{}]
    check(failed_cli[-1].get('command') == 'download' and failed_cli[-1]['printers'][0]['ok'] is False,
          "the failed item carries the CLI's JSON: %s" % failed_cli)
    documents = items[printers['two'].address]['result']['cli']
    check(any(d.get('command') == 'download' and d['printers'][0]['ok'] for d in documents)
          and documents[-1].get('addresses') == ['A1'],
          "the two-colour item carries the download's JSON and the printer's list after it: %s" % documents)
    check([i['address'] for i in printers['two'].wait_for_images(1)] == ['A1'],
          'the two-colour printer stores its logo under A1')
    check(len(printers['dot'].wait_for_images(1)) == 1 and len(printers['mono'].wait_for_images(1)) == 1,
          'the DOT MODE and single-colour printers store one logo each')
    stored = stored_images(printers)

    # Second run: nothing changes, nothing is stored again.
    rc, items = playbook()
    check(rc == 2 and items[missing]['status'] == 'failed', 'the missing printer still fails')
    check(all(items[p]['status'] == 'ok' and not items[p]['result']['changed'] for p in reachable),
          'the second run changes no printer: %s' % summary(items))
    check(stored_images(printers) == stored,
          'the second run stores nothing')

    # An image deleted behind the role's back: the two-colour printer lists
    # other addresses than recorded, and only it gets its logos again.
    subprocess.run([os.path.join(BIN, 'markograph-cli'), 'delete', '--nv-inf', nv_inf, '--host', '127.0.0.1',
                    '--tcp-port', printers['two'].address.split(':')[1], '--address', 'A1'], check=True)
    rc, items = playbook('--limit', 'shop-a')
    two = items[printers['two'].address]['result']
    check(two['changed'] and 'other addresses' in ' '.join(two['reasons']),
          'a two-colour printer whose list differs is downloaded again: %s' % two)
    check(not items[printers['dot'].address]['result']['changed'], 'the DOT MODE printer stays unchanged')
    check(len(printers['two'].wait_for_images(1)) == 1, 'the two-colour printer holds its logo again')
    stored = stored_images(printers)

    # Check mode with a logo whose content changed under the same name: every
    # printer there is predicted to change, with a diff, and nothing is stored.
    for logo in (badge, red_black):
        invert_middle_rows(logo)
    before_records = digest_tree(records)
    rc, items = playbook('--check', '--diff')
    for printer in reachable:
        result = items[printer]['result']
        check(items[printer]['status'] == 'ok' and result['changed'],
              'check mode predicts a change for %s: %s' % (printer, result))
        diff = result.get('diff') or {}
        check('.bmp  sha256:' in diff.get('after', '') and diff.get('before') != diff.get('after'),
              'check mode shows the logo sets before and after for %s: %s' % (printer, diff))
    check(stored_images(printers) == stored,
          "check mode leaves the printers' stored images alone")
    check(digest_tree(records) == before_records, "check mode leaves the printers' records alone")


def stored_images(printers):
    return {name: printer.stored() for name, printer in printers.items()}


def invert_middle_rows(path):
    """Changes a logo's content under the same name (the middle rows: the top
    row alone may vanish in DOT MODE's halving)."""
    with open(path, 'r+b') as stream:
        middle = os.fstat(stream.fileno()).st_size // 2
        stream.seek(middle)
        chunk = stream.read(192)
        stream.seek(middle)
        stream.write(bytes(byte ^ 0xff for byte in chunk))


def summary(items):
    return {printer: (item['status'], item['result'].get('changed')) for printer, item in items.items()}


def run_playbook(work, inventory, extra):
    """Runs the shipped example playbook; returns its status and each printer's
    item result (the last one logged for it)."""
    log = os.path.join(work, 'results.jsonl')
    if os.path.exists(log):
        os.unlink(log)
    config = os.path.join(work, 'ansible.cfg')
    open(config, 'w').close()
    home = os.path.join(work, 'home')
    env = {
        # No bytecode of the result plugin lands in the source tree.
        'PATH': '/usr/bin:/bin', 'HOME': home, 'PYTHONDONTWRITEBYTECODE': '1',
        'LANG': 'C.UTF-8', 'XDG_STATE_HOME': os.path.join(home, 'state'),
        'ANSIBLE_CONFIG': config, 'ANSIBLE_HOME': os.path.join(home, '.ansible'),
        'ANSIBLE_LOCAL_TEMP': os.path.join(work, 'ansible-tmp'), 'ANSIBLE_REMOTE_TEMP': os.path.join(work, 'ansible-tmp'),
        'ANSIBLE_COLLECTIONS_PATH': os.path.join(work, 'no-collections'), 'ANSIBLE_COLLECTIONS_SCAN_SYS_PATH': 'false',
        'ANSIBLE_ROLES_PATH': os.path.join(CONTRIB, 'roles'), 'ANSIBLE_CALLBACK_PLUGINS': os.path.join(HERE, 'plugins'),
        'ANSIBLE_CALLBACKS_ENABLED': 'result_log', 'MARKOGRAPH_RESULT_LOG': log, 'ANSIBLE_NOCOLOR': '1',
        'ANSIBLE_RETRY_FILES_ENABLED': 'false', 'ANSIBLE_GATHERING': 'explicit', 'ANSIBLE_PIPELINING': 'true',
    }
    started = time.monotonic()
    completed = subprocess.run(['/usr/bin/ansible-playbook', '-i', inventory,
                                os.path.join(CONTRIB, 'examples', 'playbook.yml')] + extra,
                               env=env, cwd=work, capture_output=True, text=True)
    print('ansible-playbook %s: status %d, %.1f s' % (' '.join(extra), completed.returncode,
                                                      time.monotonic() - started), flush=True)
    items = {}
    if os.path.exists(log):
        with open(log) as stream:
            for line in stream:
                entry = json.loads(line)
                if entry['status'] in ('ok', 'failed') and 'item' in entry['result']:
                    items[entry['result']['item']['printer']] = entry
    if not items:
        print(completed.stdout, completed.stderr)
        raise SystemExit('FAIL: the playbook reported no printer')
    return completed.returncode, items


if __name__ == '__main__':
    main()
