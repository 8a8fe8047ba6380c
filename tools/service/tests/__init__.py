import os
import sys

# The service's modules import each other by plain name, as when service.py runs.
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
