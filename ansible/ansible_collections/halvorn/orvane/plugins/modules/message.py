# -*- coding: utf-8 -*-
# A message to the person at the V7 Station.
from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
module: message
short_description: Send a message to the person at the V7 Station
description:
  - Sends a short message to the V7 Station's user with C(v7ctl message), as the control center's
    Send a message does. The station must be on.
  - A message is an act, not a state; each run that sends it reports C(changed=true).
version_added: 1.20.0
options:
  text:
    description:
      - The message, at most 200 bytes in UTF-8, a line break counting 2. White space around it is trimmed.
    type: str
    required: true
extends_documentation_fragment:
  - halvorn.orvane.v7ctl
attributes:
  check_mode:
    support: full
    details: Checks the text and that the station is on, and sends nothing.
  diff_mode:
    support: none
author:
  - Halvorn
'''

EXAMPLES = r'''
- name: Warn before the lab closes
  halvorn.orvane.message:
    text: The lab closes in ten minutes. Please save your work.
'''

RETURN = r'''
station:
  description: The name of the station the message went to.
  returned: success
  type: str
  sample: Station1
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.halvorn.orvane.plugins.module_utils.v7ctl import V7ctl, module_options


def main():
    module = AnsibleModule(
        argument_spec=module_options(text=dict(type='str', required=True)),
        supports_check_mode=True,
    )
    # Through standard input: a text starting with "-" is no option to v7ctl.
    text = module.params['text'].encode('utf-8')
    answer = V7ctl(module).change(['message', '-'], data=text)
    module.exit_json(changed=answer['changed'], station=answer.get('station'))


if __name__ == '__main__':
    main()
