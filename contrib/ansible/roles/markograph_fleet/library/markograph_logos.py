#!/usr/bin/python3
# Keeps the logos stored in one receipt printer as a playbook says, through
# markograph-cli on the host the task runs on.

DOCUMENTATION = r'''
module: markograph_logos
short_description: Keep, print, delete and measure the logos stored in a receipt printer
description:
  - Runs C(markograph-cli) for one printer and returns its JSON documents in C(cli).
  - I(state=present) converts the logos and compares the SHA-256 of the converted command
    stream (with the addresses asked for) with the one recorded for the printer after its
    last successful download; only when they differ are the logos downloaded. A printer
    cannot send its images back, so this record, kept on the host the task runs on, is what
    makes the task idempotent. Two-colour printers are asked for their list of stored
    addresses as well, and a list other than the recorded one means a new download.
  - I(state=absent) deletes images of a two-colour printer (the addresses given, or all).
  - I(state=printed) prints stored images; it always reports a change.
  - I(state=capacity) reports the free NV memory of a two-colour printer; never a change.
  - Supports check mode (nothing is sent that stores, deletes or prints) and diff mode
    (the logo sets, or address lists, before and after).
options:
  printer:
    description: The printer as a line of a fleet hosts file names it, C(HOST[:PORT]) (IPv4)
      or a device path such as C(/dev/ttyUSB0).
    type: str
    required: true
  model:
    description: A model of the model file's catalogue (default the model file's current one).
    type: str
  logos:
    description: The BMP logos the printer is to hold, in order (paths on the host the task runs on).
    type: list
    elements: path
    default: []
  addresses:
    description: Two-colour printers. With I(state=present), the addresses to store the logos
      under, in order (default every image is deleted and the logos are numbered from 00).
      With I(state=absent), the addresses to delete (default all). With I(state=printed), the
      addresses to print (default all).
    type: list
    elements: str
    default: []
  select:
    description: Single-colour printers and I(state=printed), the image numbers such as C(1-3,7).
    type: str
  state:
    description: What to do.
    type: str
    choices: [present, absent, printed, capacity]
    default: present
  extra_args:
    description: More options for the command the state runs (C(convert) and C(download) for
      I(state=present), C(print) for I(state=printed)), such as C([--threshold, "30"]).
    type: list
    elements: str
    default: []
  nv_inf:
    description: The model file (default the one markograph-cli uses).
    type: path
  cli:
    description: The markograph-cli program (default found on PATH).
    type: path
  state_dir:
    description: Folder of the per-printer records (default C($XDG_STATE_HOME/markograph/printers)).
    type: path
'''

EXAMPLES = r'''
- markograph_logos:
    printer: 127.0.0.1:9100
    model: TX-200
    logos: [/srv/logos/header.bmp, /srv/logos/footer.bmp]
'''

RETURN = r'''
cli:
  description: The JSON documents markograph-cli printed, in the order it ran.
  type: list
  returned: always
free_memory:
  description: Free NV memory in bytes (I(state=capacity)).
  type: int
  returned: when known
reasons:
  description: Why the logos were (or in check mode would be) downloaded or deleted.
  type: list
  returned: always
'''

import hashlib
import json
import os
import re
import tempfile

from ansible.module_utils.basic import AnsibleModule

TWO_COLOUR = 2
IPV4_PRINTER = re.compile(r'^(\d{1,3}(?:\.\d{1,3}){3})(?::(\d{1,5}))?$')


class MarkographCli:
    """markograph-cli for one printer; every JSON document it prints is kept for the result."""

    def __init__(self, module):
        self.module = module
        params = module.params
        self.binary = params['cli'] or module.get_bin_path('markograph-cli', required=True)
        self.model_file = ['--nv-inf', params['nv_inf']] if params['nv_inf'] else []
        self.model = ['--model', params['model']] if params['model'] else []
        self.printer = params['printer']
        self.documents = []

    def run(self, args, keep=True):
        rc, out, err = self.module.run_command([self.binary] + args)
        try:
            document = json.loads(out) if out.strip() else None
        except ValueError:
            document = None
        if keep and document is not None:
            self.documents.append(document)
        return rc, document, err

    def fail(self, msg, rc=None, err='', **extra):
        self.module.fail_json(msg=msg, rc=rc, stderr=err, cli=self.documents, **extra)

    def is_two_colour(self):
        rc, document, err = self.run(['models', '--json'] + self.model_file, keep=False)
        if rc != 0 or document is None:
            self.fail('markograph-cli models failed', rc, err)
        wanted = self.module.params['model'] or document.get('current')
        for model in document.get('models', []):
            if model.get('name') == wanted:
                return model.get('modelType') == TWO_COLOUR
        self.fail("The model file has no model named '%s'" % wanted, rc, err)

    def fleet(self, command, args):
        """Runs a fleet command on this printer alone: the one-line hosts file gives the
        printer's line the same reading as in a fleet, and --json its summary."""
        folder = tempfile.mkdtemp(dir=self.module.tmpdir)
        hosts = os.path.join(folder, 'hosts')
        with open(hosts, 'w') as stream:
            stream.write(self.printer + '\n')
        rc, document, err = self.run([command, '--hosts', hosts, '--json'] + self.model_file + args)
        entries = (document or {}).get('printers') or [{}]
        entry = entries[0]
        if rc != 0 or not entry.get('ok'):
            reason = entry.get('reason') or err.strip() or 'markograph-cli %s failed' % command
            self.fail('%s: %s' % (self.printer, reason), rc, err)
        return entry

    def connection(self):
        match = IPV4_PRINTER.match(self.printer)
        if match:
            return ['--host', match.group(1), '--tcp-port', match.group(2) or '9100']
        return ['--port', self.printer]

    def stored_addresses(self):
        rc, document, err = self.run(['list', '--json'] + self.model_file + self.connection())
        outcome = (document or {}).get('outcome')
        if outcome in ('listed', 'empty'):
            return sorted(document.get('addresses', []))
        if outcome in (None, 'not-connected', 'write-failed'):
            self.fail('%s: the printer could not be asked for its stored addresses' % self.printer, rc, err)
        return None  # an answer that could not be read: the printer's holdings are unknown

    def convert(self, logos, extra_args):
        output = os.path.join(tempfile.mkdtemp(dir=self.module.tmpdir), 'logos.prn')
        rc, _, err = self.run(['convert', '-o', output] + self.model_file + self.model + extra_args + logos)
        if rc != 0:
            self.fail('The logos could not be converted: %s' % err.strip(), rc, err)
        with open(output, 'rb') as stream:
            return stream.read()


class PrinterRecord:
    """What this module last downloaded to a printer: one small JSON file per printer,
    replaced whole, so that hosts looping over different printers never share a file."""

    def __init__(self, state_dir, printer):
        safe = re.sub(r'[^A-Za-z0-9.-]', '_', printer)
        digest = hashlib.sha256(printer.encode()).hexdigest()[:12]
        self.path = os.path.join(state_dir, '%s-%s.json' % (safe, digest))
        self.printer = printer

    def load(self):
        try:
            with open(self.path) as stream:
                record = json.load(stream)
        except (OSError, ValueError):
            return None
        return record if isinstance(record, dict) and record.get('printer') == self.printer else None

    def save(self, record):
        os.makedirs(os.path.dirname(self.path), exist_ok=True)
        handle, temporary = tempfile.mkstemp(dir=os.path.dirname(self.path), prefix='.record-')
        with os.fdopen(handle, 'w') as stream:
            json.dump(dict(record, printer=self.printer), stream, indent=1, sort_keys=True)
            stream.flush()
            os.fsync(stream.fileno())
        os.replace(temporary, self.path)

    def forget(self):
        # Before anything is sent that changes the printer: a run that stops half way
        # leaves it holding neither the old set nor the new one.
        try:
            os.unlink(self.path)
        except FileNotFoundError:
            pass


def file_digest(path):
    with open(path, 'rb') as stream:
        return hashlib.sha256(stream.read()).hexdigest()


def describe(logos, addresses=None):
    lines = ['%s  sha256:%s' % (logo['path'], logo['sha256'][:16]) for logo in logos]
    if addresses is not None:
        lines.append('addresses: %s' % (' '.join(addresses) or '(none)'))
    return '\n'.join(lines) + '\n'


def ensure_logos(module, cli, record_file):
    params = module.params
    if not params['logos']:
        cli.fail('state=present needs at least one logo')
    stream = cli.convert(params['logos'], params['extra_args'])  # reports unreadable logos by name
    wanted = [{'path': path, 'sha256': file_digest(path)} for path in params['logos']]
    fingerprint = hashlib.sha256(stream + b'\0' + ','.join(params['addresses']).encode()).hexdigest()
    two_colour = cli.is_two_colour()
    listed = cli.stored_addresses() if two_colour else None
    record = record_file.load()

    reasons = []
    if record is None:
        reasons.append('nothing is recorded for this printer')
    elif record.get('fingerprint') != fingerprint:
        reasons.append('the converted logos differ from the recorded ones')
    elif two_colour and (listed is None or listed != record.get('addresses')):
        reasons.append('the printer lists other addresses than were recorded')
    # Two-colour printers: the addresses they list now, and those they list after the
    # download (known when asked for, or when only the list went astray).
    expected = None
    if two_colour:
        matches = record is not None and record.get('fingerprint') == fingerprint
        expected = sorted(params['addresses']) or (record.get('addresses') if matches else ['as numbered from 00'])
    diff = {'before': describe(record.get('logos', []) if record else [], listed),
            'after': describe(wanted, expected),
            'before_header': '%s (recorded)' % cli.printer, 'after_header': '%s (wanted)' % cli.printer}
    result = dict(changed=bool(reasons), reasons=reasons, fingerprint=fingerprint, diff=diff)
    if not reasons or module.check_mode:
        module.exit_json(cli=cli.documents, **result)

    record_file.forget()
    args = cli.model + params['extra_args']
    if params['addresses']:
        args += ['--addresses', ','.join(params['addresses'])]
    entry = cli.fleet('download', args + params['logos'])
    stored = cli.stored_addresses() if two_colour else None
    try:
        record_file.save({'fingerprint': fingerprint, 'logos': wanted, 'addresses': stored,
                          'model': params['model']})
    except OSError as error:
        cli.fail('The logos were downloaded, but %s could not be written (%s): the next run downloads '
                 'them again' % (record_file.path, error), changed=True)
    module.exit_json(cli=cli.documents, images_stored=entry.get('imagesStored'), **result)


def delete_images(module, cli, record_file):
    if not cli.is_two_colour():
        cli.fail('Only two-colour printers delete stored images one by one; '
                 'download another set with state=present instead')
    listed = cli.stored_addresses()
    if listed is None:
        cli.fail('%s: the printer\'s list of stored addresses could not be read' % cli.printer)
    asked = module.params['addresses']
    doomed = [address for address in listed if not asked or address in asked]
    remaining = [address for address in listed if address not in doomed]
    diff = {'before': 'addresses: %s\n' % ' '.join(listed), 'after': 'addresses: %s\n' % ' '.join(remaining)}
    reasons = ['the printer holds %s' % ' '.join(doomed)] if doomed else []
    if not doomed or module.check_mode:
        module.exit_json(changed=bool(doomed), reasons=reasons, diff=diff, cli=cli.documents)
    record_file.forget()
    if asked:
        for address in doomed:
            cli.fleet('delete', ['--address', address])
    else:
        cli.fleet('delete', ['--all'])
    module.exit_json(changed=True, reasons=reasons, diff=diff, cli=cli.documents)


def print_images(module, cli):
    params = module.params
    if module.check_mode:
        module.exit_json(changed=True, reasons=['printing always changes the paper'], cli=cli.documents)
    args = cli.model + params['extra_args'] + (['--select', params['select']] if params['select'] else [])
    if not params['addresses']:
        cli.fleet('print', args + (['--all'] if cli.is_two_colour() else []))
    for address in params['addresses']:
        cli.fleet('print', args + ['--address', address])
    module.exit_json(changed=True, reasons=['printing always changes the paper'], cli=cli.documents)


def main():
    module = AnsibleModule(
        argument_spec=dict(
            printer=dict(type='str', required=True),
            model=dict(type='str'),
            logos=dict(type='list', elements='path', default=[]),
            addresses=dict(type='list', elements='str', default=[]),
            select=dict(type='str'),
            state=dict(type='str', choices=['present', 'absent', 'printed', 'capacity'], default='present'),
            extra_args=dict(type='list', elements='str', default=[]),
            nv_inf=dict(type='path'),
            cli=dict(type='path'),
            state_dir=dict(type='path'),
        ),
        supports_check_mode=True,
    )
    printer = module.params['printer']
    # The printer becomes one line of a hosts file: a line break would add a
    # printer nobody named, a space or '#' would change how the line reads.
    if not printer or re.search(r'[\s#]', printer):
        module.fail_json(msg="printer must be HOST[:PORT] or a device path without spaces or '#': %r" % printer)
    state_dir = module.params['state_dir'] or os.path.join(
        os.environ.get('XDG_STATE_HOME') or os.path.expanduser('~/.local/state'), 'markograph', 'printers')
    cli = MarkographCli(module)
    record_file = PrinterRecord(state_dir, printer)
    state = module.params['state']
    if state == 'present':
        ensure_logos(module, cli, record_file)
    elif state == 'absent':
        delete_images(module, cli, record_file)
    elif state == 'printed':
        print_images(module, cli)
    else:
        entry = cli.fleet('capacity', [])
        module.exit_json(changed=False, free_memory=entry.get('freeMemory'), cli=cli.documents)


if __name__ == '__main__':
    main()
